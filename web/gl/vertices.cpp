// Immediate mode: glBegin / glEnd and the vertex attributes. Every primitive
// becomes triangles, since WebGL draws no quads or polygons.
#include "state.h"

#include <cstring>

namespace kv17::gl {

namespace {

bool IsSupportedMode(GLenum mode) {
    return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN ||
           mode == GL_QUADS || mode == GL_QUAD_STRIP || mode == GL_POLYGON;
}

// The triangles of a primitive, each wound as GL winds it.
std::vector<Vertex> Triangulate(GLenum mode, const std::vector<Vertex>& v) {
    std::vector<Vertex> triangles;
    auto add = [&](size_t a, size_t b, size_t c) {
        triangles.push_back(v[a]);
        triangles.push_back(v[b]);
        triangles.push_back(v[c]);
    };
    const size_t n = v.size();
    switch (mode) {
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < n; i += 3) add(i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < n; ++i) i % 2 == 0 ? add(i, i + 1, i + 2) : add(i + 1, i, i + 2);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (size_t i = 1; i + 1 < n; ++i) add(0, i, i + 1);
        break;
    case GL_QUADS:
        for (size_t i = 0; i + 3 < n; i += 4) add(i, i + 1, i + 2), add(i, i + 2, i + 3);
        break;
    case GL_QUAD_STRIP:
        // Quad k runs 2k, 2k+1, 2k+3, 2k+2.
        for (size_t i = 0; i + 3 < n; i += 2) add(i, i + 1, i + 3), add(i, i + 3, i + 2);
        break;
    }
    return triangles;
}

// Where attribute calls go: the list's own values while compiling (GL does
// not execute them then), else the context's current ones.
template <typename Set>
void SetAttribute(unsigned bit, Set set) {
    Context* c = Current();
    if (!c) return;
    if (c->compiling) {
        set(c->compiling->values);
        c->compiling->given |= bit;
    } else {
        set(c->current);
    }
}

}  // namespace

void AddTriangles(Context& c, GLenum primitive, const std::vector<Vertex>& vertices) {
    std::vector<Vertex> triangles = Triangulate(primitive, vertices);
    if (triangles.empty()) return;
    if (!c.compiling) {
        webgl::DrawTriangles(c.MakeDrawState(), triangles.data(), triangles.size());
        return;
    }
    ListInProgress& list = *c.compiling;
    // Triangles merge into one batch while they carry the same attributes.
    if (!list.pending.empty() && list.pendingGiven != list.given) RecordOp(c, nullptr);
    list.pendingGiven = list.given;
    list.pending.insert(list.pending.end(), triangles.begin(), triangles.end());
}

}  // namespace kv17::gl

using namespace kv17::gl;

extern "C" {

void glBegin(GLenum mode) {
    Context* c = Current();
    if (!c || c->inBeginEnd) return;
    c->inBeginEnd = true;
    c->primitive = IsSupportedMode(mode) ? mode : 0;  // 0: its vertices are dropped
    c->primitiveVertices.clear();
}

void glEnd(void) {
    Context* c = Current();
    if (!c || !c->inBeginEnd) return;
    c->inBeginEnd = false;
    if (c->primitive) AddTriangles(*c, c->primitive, c->primitiveVertices);
    c->primitiveVertices.clear();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Context* c = Current();
    if (!c || !c->inBeginEnd) return;  // outside glBegin / glEnd it is undefined in GL
    Vertex v = c->compiling ? c->compiling->values : c->current;
    v.position[0] = x, v.position[1] = y, v.position[2] = z;
    c->primitiveVertices.push_back(v);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    SetAttribute(kNormalGiven,
                 [=](Vertex& v) { v.normal[0] = nx, v.normal[1] = ny, v.normal[2] = nz; });
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    SetAttribute(kColorGiven, [=](Vertex& v) {
        v.color[0] = red, v.color[1] = green, v.color[2] = blue, v.color[3] = alpha;
    });
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { glColor4f(red, green, blue, 1.0f); }

void glTexCoord2f(GLfloat s, GLfloat t) {
    SetAttribute(kTexCoordGiven, [=](Vertex& v) { v.texCoord[0] = s, v.texCoord[1] = t; });
}

}  // extern "C"
