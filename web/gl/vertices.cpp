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

// The triangles of a primitive with `n` vertices, as indices from `base`,
// each wound as GL winds it.
void Triangulate(GLenum mode, size_t n, size_t base, std::vector<webgl::Index>* indices) {
    auto add = [&](size_t a, size_t b, size_t c) {
        for (size_t i : {a, b, c}) indices->push_back((webgl::Index)(base + i));
    };
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
    if (vertices.size() > webgl::kMostVertices) return;  // beyond what an index reaches
    if (!c.compiling) {
        std::vector<webgl::Index> indices;
        Triangulate(primitive, vertices.size(), 0, &indices);
        webgl::DrawTriangles(c.MakeDrawState(), vertices.data(), vertices.size(), indices.data(),
                             indices.size());
        return;
    }
    ListInProgress& list = *c.compiling;
    // Primitives merge into one batch while they carry the same attributes
    // and their vertices can all be indexed.
    Triangles& pending = list.pending;
    if (!pending.vertices.empty() &&
        (list.pendingGiven != list.given ||
         pending.vertices.size() + vertices.size() > webgl::kMostVertices))
        RecordOp(c, nullptr);
    list.pendingGiven = list.given;
    Triangulate(primitive, vertices.size(), pending.vertices.size(), &pending.indices);
    pending.vertices.insert(pending.vertices.end(), vertices.begin(), vertices.end());
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
