#include "webgl.h"

#include <emscripten/html5_webgl.h>
#include <webgl/webgl1.h>

#include <cstring>
#include <iterator>

namespace kv17::gl::webgl {

namespace {

// GL 1.1's fixed function as far as the layer offers it: per-vertex lighting
// by light 1 with the default material (ambient 0.2, diffuse 0.8, alpha 1)
// and light model (ambient 0.2), and the texture modulating the colour.
const char kVertexShader[] = R"(
attribute vec3 position;
attribute vec3 normal;
attribute vec4 color;
attribute vec2 texCoord;
uniform mat4 modelViewProjection;
uniform mat4 modelView;
uniform mat3 normalMatrix;
uniform bool lighting;
uniform bool light1;
uniform vec4 lightAmbient;
uniform vec4 lightDiffuse;
uniform vec4 lightPosition;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
    gl_Position = modelViewProjection * vec4(position, 1.0);
    vTexCoord = texCoord;
    if (!lighting) {
        vColor = color;
        return;
    }
    vec3 lit = vec3(0.2 * 0.2);
    if (light1) {
        vec3 eye = (modelView * vec4(position, 1.0)).xyz;
        vec3 toLight = lightPosition.w == 0.0 ? lightPosition.xyz
                                              : lightPosition.xyz / lightPosition.w - eye;
        float facing = max(dot(normalMatrix * normal, normalize(toLight)), 0.0);
        lit += lightAmbient.rgb * 0.2 + lightDiffuse.rgb * 0.8 * facing;
    }
    vColor = vec4(clamp(lit, 0.0, 1.0), 1.0);
}
)";

const char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform bool texturing;
uniform sampler2D texture;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
    gl_FragColor = texturing ? vColor * texture2D(texture, vTexCoord) : vColor;
}
)";

enum Attribute : GLuint { kPosition, kNormal, kColor, kTexCoord };

struct Uniforms {
    GLint modelViewProjection, modelView, normalMatrix, lighting, light1, lightAmbient,
        lightDiffuse, lightPosition, texturing;
};

struct Backend {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    GLuint program = 0;
    Uniforms uniforms{};
    // Immediate-mode vertices and indices go to these in turn: refilling a
    // buffer that an earlier draw still reads would wait for that draw.
    GLuint streamBuffers[8][2] = {};
    size_t nextStream = 0;
    // What the program and WebGL were last given, to skip repeating it.
    DrawState last{};
    bool lastValid = false;
    GLuint boundBuffer = 0;
    GLuint boundIndexBuffer = 0;
    GLuint boundTexture = 0;
    unsigned arrays = 0;  // the attribute arrays enabled, as AttributeBits
} backend;

GLuint CompileShader(GLenum kind, const char* source) {
    GLuint shader = emscripten_glCreateShader(kind);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

bool BuildProgram() {
    GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, CompileShader(GL_VERTEX_SHADER, kVertexShader));
    emscripten_glAttachShader(program, CompileShader(GL_FRAGMENT_SHADER, kFragmentShader));
    emscripten_glBindAttribLocation(program, kPosition, "position");
    emscripten_glBindAttribLocation(program, kNormal, "normal");
    emscripten_glBindAttribLocation(program, kColor, "color");
    emscripten_glBindAttribLocation(program, kTexCoord, "texCoord");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) return false;
    emscripten_glUseProgram(program);
    auto at = [program](const char* name) {
        return emscripten_glGetUniformLocation(program, name);
    };
    backend.uniforms = {at("modelViewProjection"),
                        at("modelView"),
                        at("normalMatrix"),
                        at("lighting"),
                        at("light1"),
                        at("lightAmbient"),
                        at("lightDiffuse"),
                        at("lightPosition"),
                        at("texturing")};
    emscripten_glUniform1i(at("texture"), 0);
    backend.program = program;
    return true;
}

template <typename T>
bool Changed(const T& now, const T& before) {
    return !backend.lastValid || std::memcmp(&now, &before, sizeof(T)) != 0;
}

void UploadUniforms(const DrawState& s) {
    const Uniforms& u = backend.uniforms;
    const DrawState& was = backend.last;
    if (Changed(s.modelViewProjection, was.modelViewProjection))
        emscripten_glUniformMatrix4fv(u.modelViewProjection, 1, GL_FALSE, s.modelViewProjection);
    if (Changed(s.texturing, was.texturing)) emscripten_glUniform1i(u.texturing, s.texturing);
    if (Changed(s.lighting, was.lighting)) emscripten_glUniform1i(u.lighting, s.lighting);
    if (s.lighting) {
        // Only read by the lit path: left alone while lighting is off.
        emscripten_glUniformMatrix4fv(u.modelView, 1, GL_FALSE, s.modelView);
        emscripten_glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, s.normalMatrix);
        emscripten_glUniform1i(u.light1, s.light1);
        emscripten_glUniform4fv(u.lightAmbient, 1, s.lightAmbient);
        emscripten_glUniform4fv(u.lightDiffuse, 1, s.lightDiffuse);
        emscripten_glUniform4fv(u.lightPosition, 1, s.lightPosition);
    }
    if (s.texturing && s.texture != backend.boundTexture) {
        emscripten_glBindTexture(GL_TEXTURE_2D, s.texture);
        backend.boundTexture = s.texture;
    }
    backend.last = s;
    backend.lastValid = true;
}

void BindBuffers(GLuint vertexBuffer, GLuint indexBuffer) {
    if (vertexBuffer != backend.boundBuffer) emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    if (indexBuffer != backend.boundIndexBuffer)
        emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    backend.boundBuffer = vertexBuffer;
    backend.boundIndexBuffer = indexBuffer;
}

// Attribute arrays for what the vertices carry, constant values for the rest.
void PointAttributes(const DrawState& s, unsigned given) {
    constexpr GLsizei stride = sizeof(Vertex);
    emscripten_glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                                     (void*)offsetof(Vertex, position));
    struct Optional {
        unsigned bit;
        GLuint index;
        GLint size;
        size_t offset;
    };
    static constexpr Optional kOptional[] = {
        {kNormalGiven, kNormal, 3, offsetof(Vertex, normal)},
        {kColorGiven, kColor, 4, offsetof(Vertex, color)},
        {kTexCoordGiven, kTexCoord, 2, offsetof(Vertex, texCoord)},
    };
    for (const Optional& a : kOptional) {
        const bool array = given & a.bit;
        if (array != bool(backend.arrays & a.bit)) {
            if (array)
                emscripten_glEnableVertexAttribArray(a.index);
            else
                emscripten_glDisableVertexAttribArray(a.index);
        }
        if (array)
            emscripten_glVertexAttribPointer(a.index, a.size, GL_FLOAT, GL_FALSE, stride,
                                             (void*)a.offset);
    }
    backend.arrays = given;
    if (!(given & kNormalGiven)) emscripten_glVertexAttrib3fv(kNormal, s.normal);
    if (!(given & kColorGiven)) emscripten_glVertexAttrib4fv(kColor, s.color);
    if (!(given & kTexCoordGiven)) emscripten_glVertexAttrib2fv(kTexCoord, s.texCoord);
}

void DrawIndexed(const DrawState& state, unsigned given, size_t indexCount) {
    UploadUniforms(state);
    PointAttributes(state, given);
    emscripten_glDrawElements(GL_TRIANGLES, (GLsizei)indexCount, GL_UNSIGNED_SHORT, nullptr);
}

}  // namespace

bool Open(const char* canvasSelector, bool keepFrames) {
    if (backend.context) return true;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;  // the clear colour's alpha must not let the page through
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.preserveDrawingBuffer = keepFrames;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) return false;
    emscripten_webgl_make_context_current(context);
    if (!BuildProgram()) {
        emscripten_webgl_destroy_context(context);
        return false;
    }
    backend.context = context;
    emscripten_glGenBuffers(std::size(backend.streamBuffers) * 2, &backend.streamBuffers[0][0]);
    emscripten_glEnableVertexAttribArray(kPosition);
    return true;
}

void ForgetLastDraw() { backend.lastValid = false; }

void DrawingBufferSize(int* width, int* height) {
    *width = *height = 0;
    if (backend.context) emscripten_webgl_get_drawing_buffer_size(backend.context, width, height);
}

void SetEnabled(unsigned cap, bool on) {
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
}

void ClearColor(const float rgba[4]) {
    emscripten_glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
}
void ClearDepth(float depth) { emscripten_glClearDepthf(depth); }
void Clear(unsigned mask) {
    emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}
void DepthFunc(unsigned func) { emscripten_glDepthFunc(func); }
void BlendFunc(unsigned source, unsigned destination) {
    emscripten_glBlendFunc(source, destination);
}
void Viewport(int x, int y, int width, int height) { emscripten_glViewport(x, y, width, height); }

void DrawTriangles(const DrawState& state, const Vertex* vertices, size_t vertexCount,
                   const Index* indices, size_t indexCount) {
    if (indexCount == 0) return;
    const GLuint* stream = backend.streamBuffers[backend.nextStream];
    backend.nextStream = (backend.nextStream + 1) % std::size(backend.streamBuffers);
    BindBuffers(stream[0], stream[1]);
    emscripten_glBufferData(GL_ARRAY_BUFFER, vertexCount * sizeof(Vertex), vertices,
                            GL_STREAM_DRAW);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexCount * sizeof(Index), indices,
                            GL_STREAM_DRAW);
    DrawIndexed(state, kAllGiven, indexCount);
}

Mesh NewMesh(const Vertex* vertices, size_t vertexCount, const Index* indices, size_t indexCount) {
    GLuint buffers[2] = {0, 0};
    emscripten_glGenBuffers(2, buffers);
    BindBuffers(buffers[0], buffers[1]);
    emscripten_glBufferData(GL_ARRAY_BUFFER, vertexCount * sizeof(Vertex), vertices,
                            GL_STATIC_DRAW);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexCount * sizeof(Index), indices,
                            GL_STATIC_DRAW);
    return {buffers[0], buffers[1], indexCount};
}

void DeleteMesh(const Mesh& mesh) {
    if (!backend.context) return;
    if (backend.boundBuffer == mesh.vertexBuffer) backend.boundBuffer = 0;
    if (backend.boundIndexBuffer == mesh.indexBuffer) backend.boundIndexBuffer = 0;
    const GLuint buffers[2] = {mesh.vertexBuffer, mesh.indexBuffer};
    emscripten_glDeleteBuffers(2, buffers);
}

void DrawMesh(const DrawState& state, const Mesh& mesh, unsigned given) {
    if (mesh.indexCount == 0) return;
    BindBuffers(mesh.vertexBuffer, mesh.indexBuffer);
    DrawIndexed(state, given, mesh.indexCount);
}

unsigned NewTexture() {
    GLuint texture = 0;
    emscripten_glGenTextures(1, &texture);
    return texture;
}

void DeleteTexture(unsigned texture) {
    if (!backend.context) return;
    if (backend.boundTexture == texture) backend.boundTexture = 0;
    emscripten_glDeleteTextures(1, &texture);
}

void SetTextureFilters(unsigned texture, unsigned minFilter, unsigned magFilter, bool powerOfTwo) {
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    backend.boundTexture = texture;
    if (!powerOfTwo) {
        // WebGL 1 samples such a texture only clamped and without mipmaps.
        minFilter = (minFilter == GL_NEAREST || minFilter == GL_NEAREST_MIPMAP_NEAREST ||
                     minFilter == GL_NEAREST_MIPMAP_LINEAR)
                        ? GL_NEAREST
                        : GL_LINEAR;
    }
    const GLint wrap = powerOfTwo ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

void UploadRgb(unsigned texture, int level, int width, int height, const uint8_t* pixels) {
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    backend.boundTexture = texture;
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGB, width, height, 0, GL_RGB,
                            GL_UNSIGNED_BYTE, pixels);
}

int MaxTextureSize() {
    GLint size = 0;
    emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

}  // namespace kv17::gl::webgl
