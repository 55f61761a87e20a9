// Contexts, capabilities, the fixed state and the queries.
#include "contexts.h"
#include "state.h"

#include <algorithm>
#include <cstring>

namespace kv17::gl {

namespace {

struct Contexts {
    std::vector<std::unique_ptr<Context>> live;
    Context* current = nullptr;
} contexts;

bool IsLive(Context* context) {
    return std::any_of(contexts.live.begin(), contexts.live.end(),
                       [context](auto& c) { return c.get() == context; });
}

// WebGL keeps its state across GL contexts: each one that becomes current
// puts back its own.
void ApplyState(Context& c) {
    int width = 0, height = 0;
    webgl::DrawingBufferSize(&width, &height);
    webgl::ForgetLastDraw();
    if (c.viewport[2] == 0 && c.viewport[3] == 0) {
        // GL sizes the viewport to the window when a context is first current.
        c.viewport[2] = width;
        c.viewport[3] = height;
    }
    webgl::SetEnabled(GL_DEPTH_TEST, c.depthTest);
    webgl::SetEnabled(GL_BLEND, c.blend);
    webgl::DepthFunc(c.depthFunc);
    webgl::BlendFunc(c.blendSource, c.blendDestination);
    webgl::ClearColor(c.clearColor);
    webgl::ClearDepth(c.clearDepth);
    webgl::Viewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
}

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

// The inverse transpose of the upper 3 x 3, which carries normals to eye space.
void NormalMatrix(const Matrix& m, float out[9]) {
    const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
                i = m[10];
    const float cofactors[9] = {e * i - f * h, f * g - d * i, d * h - e * g,
                                c * h - b * i, a * i - c * g, b * g - a * h,
                                b * f - c * e, c * d - a * f, a * e - b * d};
    const float determinant = a * cofactors[0] + b * cofactors[1] + c * cofactors[2];
    const float scale = determinant != 0 ? 1 / determinant : 0;
    // The inverse transpose is the cofactor matrix over the determinant;
    // `cofactors` is by rows, `out` by columns.
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            out[column * 3 + row] = cofactors[row * 3 + column] * scale;
}

}  // namespace

Context* Current() { return contexts.current; }

Context* CreateContext(const char* canvasSelector, bool keepFrames) {
    if (!webgl::Open(canvasSelector, keepFrames)) return nullptr;
    contexts.live.push_back(std::make_unique<Context>());
    return contexts.live.back().get();
}

void MakeCurrent(Context* context) {
    contexts.current = IsLive(context) ? context : nullptr;
    if (contexts.current) ApplyState(*contexts.current);
}

void DeleteContext(Context* context) {
    if (!IsLive(context)) return;
    if (contexts.current == context) contexts.current = nullptr;
    for (auto& [name, texture] : context->textures) webgl::DeleteTexture(texture.webgl);
    std::erase_if(contexts.live, [context](auto& c) { return c.get() == context; });
}

Matrix& Context::CurrentMatrix() {
    return matrixMode == GL_PROJECTION ? projection.back() : modelView.back();
}

DrawState Context::MakeDrawState() const {
    DrawState s{};
    const Matrix mvp = Multiply(projection.back(), modelView.back());
    std::memcpy(s.modelViewProjection, mvp.data(), sizeof s.modelViewProjection);
    const auto found = textures.find(boundTexture);
    s.texturing = texturing && found != textures.end() && IsComplete(found->second);
    s.texture = s.texturing ? found->second.webgl : 0;
    s.lighting = lighting;
    if (lighting) {
        std::memcpy(s.modelView, modelView.back().data(), sizeof s.modelView);
        NormalMatrix(modelView.back(), s.normalMatrix);
        s.light1 = light1;
        std::memcpy(s.lightAmbient, lightAmbient, sizeof s.lightAmbient);
        std::memcpy(s.lightDiffuse, lightDiffuse, sizeof s.lightDiffuse);
        std::memcpy(s.lightPosition, lightPosition, sizeof s.lightPosition);
    }
    std::memcpy(s.normal, current.normal, sizeof s.normal);
    std::memcpy(s.color, current.color, sizeof s.color);
    std::memcpy(s.texCoord, current.texCoord, sizeof s.texCoord);
    return s;
}

}  // namespace kv17::gl

using namespace kv17::gl;

namespace {

void SetCapability(GLenum cap, bool on) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { SetCapability(cap, on); })) return;
    switch (cap) {
    case GL_TEXTURE_2D:
        c->texturing = on;
        break;
    case GL_LIGHTING:
        c->lighting = on;
        break;
    case GL_LIGHT1:
        c->light1 = on;
        break;
    case GL_DEPTH_TEST:
        c->depthTest = on;
        webgl::SetEnabled(cap, on);
        break;
    case GL_BLEND:
        c->blend = on;
        webgl::SetEnabled(cap, on);
        break;
    }
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) { SetCapability(cap, true); }
void glDisable(GLenum cap) { SetCapability(cap, false); }

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glClearColor(red, green, blue, alpha); })) return;
    const float rgba[4] = {Clamp01(red), Clamp01(green), Clamp01(blue), Clamp01(alpha)};
    std::memcpy(c->clearColor, rgba, sizeof rgba);
    webgl::ClearColor(rgba);
}

void glClearDepth(GLclampd depth) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glClearDepth(depth); })) return;
    c->clearDepth = Clamp01((float)depth);
    webgl::ClearDepth(c->clearDepth);
}

void glClear(GLbitfield mask) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glClear(mask); })) return;
    webgl::Clear(mask);
}

void glDepthFunc(GLenum func) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glDepthFunc(func); })) return;
    if (func < GL_NEVER || func > GL_ALWAYS) return;
    c->depthFunc = func;
    webgl::DepthFunc(func);
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glBlendFunc(sfactor, dfactor); })) return;
    c->blendSource = sfactor;
    c->blendDestination = dfactor;
    webgl::BlendFunc(sfactor, dfactor);
}

// Smooth shading is the only model: nothing to change.
void glShadeModel(GLenum) {}
// The hint leaves the choice to the implementation: WebGL's is perspective-correct.
void glHint(GLenum, GLenum) {}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glViewport(x, y, width, height); })) return;
    if (width < 0 || height < 0) return;
    const GLint viewport[4] = {x, y, width, height};
    std::memcpy(c->viewport, viewport, sizeof viewport);
    webgl::Viewport(x, y, width, height);
}

// The browser presents what was drawn when the page's task ends.
void glFlush(void) {}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    Context* c = Current();
    if (!c || !params || light != GL_LIGHT1) return;
    const std::array<float, 4> values = {params[0], params[1], params[2], params[3]};
    if (Recorded(*c, [=] { glLightfv(light, pname, values.data()); })) return;
    switch (pname) {
    case GL_AMBIENT:
        std::memcpy(c->lightAmbient, params, sizeof c->lightAmbient);
        break;
    case GL_DIFFUSE:
        std::memcpy(c->lightDiffuse, params, sizeof c->lightDiffuse);
        break;
    case GL_POSITION: {
        // Kept in eye coordinates: the modelview of this moment carries it.
        const Matrix& m = c->modelView.back();
        for (int row = 0; row < 4; ++row)
            c->lightPosition[row] = m[row] * params[0] + m[4 + row] * params[1] +
                                    m[8 + row] * params[2] + m[12 + row] * params[3];
        break;
    }
    }
}

void glPixelStorei(GLenum pname, GLint param) {
    Context* c = Current();
    if (!c || pname != GL_UNPACK_ALIGNMENT) return;
    if (param == 1 || param == 2 || param == 4 || param == 8) c->unpackAlignment = param;
}

void glGetFloatv(GLenum pname, GLfloat* params) {
    Context* c = Current();
    if (!c || !params) return;
    if (pname == GL_MODELVIEW_MATRIX) std::memcpy(params, c->modelView.back().data(), 64);
    if (pname == GL_PROJECTION_MATRIX) std::memcpy(params, c->projection.back().data(), 64);
}

void glGetIntegerv(GLenum pname, GLint* params) {
    Context* c = Current();
    if (!c || !params) return;
    if (pname == GL_UNPACK_ALIGNMENT) *params = c->unpackAlignment;
}

const GLubyte* glGetString(GLenum name) {
    static const GLubyte kVersion[] = "1.1 kv17 over WebGL 1";
    return Current() && name == GL_VERSION ? kVersion : nullptr;
}

}  // extern "C"
