// One GL context's state, as the layer's files share it.
#pragma once

#include "webgl.h"

#include <GL/gl.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace kv17::gl {

using Matrix = std::array<float, 16>;  // column-major

Matrix Identity();
Matrix Multiply(const Matrix& a, const Matrix& b);  // a * b, in float as GL does
// The current matrix := current * m (glTranslatef, glRotatef, gluPerspective).
void MultiplyCurrent(const Matrix& m);

// Triangles of primitives, as indices into their vertices.
struct Triangles {
    std::vector<Vertex> vertices;
    std::vector<webgl::Index> indices;
};

// Triangles kept in WebGL buffers for a display list.
struct Batch {
    Batch(const Triangles& triangles, unsigned given);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    webgl::Mesh mesh;
    unsigned given;  // AttributeBits
};

// A compiled list: what it does, in order; vertices merged into batches.
struct DisplayList {
    std::vector<std::function<void()>> ops;
};

// A list being compiled: its ops so far, and the triangles and attribute
// values given since the last op.
struct ListInProgress {
    GLuint name = 0;
    DisplayList list;
    Triangles pending;  // of the batch being merged
    unsigned pendingGiven = 0;
    unsigned given = 0;  // attributes set inside the list so far
    Vertex values{};     // their values
};

struct Texture {
    unsigned webgl = 0;
    int width = 0;
    int height = 0;
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;  // GL's defaults
    GLenum magFilter = GL_LINEAR;
    bool mipmapped = false;  // every level down to 1 x 1 is there
};

struct Context {
    // Matrices
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelView{Identity()};  // the current one is last
    std::vector<Matrix> projection{Identity()};

    // Capabilities and fixed state
    bool texturing = false, depthTest = false, blend = false, lighting = false, light1 = false;
    float lightAmbient[4] = {0, 0, 0, 1};  // GL_LIGHT1's defaults
    float lightDiffuse[4] = {0, 0, 0, 1};
    float lightPosition[4] = {0, 0, 1, 0};
    float clearColor[4] = {0, 0, 0, 0};
    float clearDepth = 1;
    GLenum depthFunc = GL_LESS;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint unpackAlignment = 4;

    // The current attributes and the primitive being specified
    Vertex current{{0, 0, 0}, {0, 0, 1}, {1, 1, 1, 1}, {0, 0}};
    bool inBeginEnd = false;
    GLenum primitive = 0;
    std::vector<Vertex> primitiveVertices;

    // Display lists
    std::map<GLuint, std::shared_ptr<DisplayList>> lists;
    GLuint nextListName = 1;
    GLuint listBase = 0;
    std::vector<std::pair<GLbitfield, GLuint>> attributeStack;  // mask and list base
    std::unique_ptr<ListInProgress> compiling;
    int callDepth = 0;

    // Textures; name 0 is the default texture, as in GL
    std::map<GLuint, Texture> textures;
    GLuint nextTextureName = 1;
    GLuint boundTexture = 0;

    Matrix& CurrentMatrix();
    Texture& Bound() { return textures[boundTexture]; }
    DrawState MakeDrawState() const;
};

// The current context, or null: every entry point does nothing without one.
Context* Current();

void RecordOp(Context& context, std::function<void()> op);

// While a list is being compiled, `op` is recorded into it instead of being
// done now; the entry point then returns.
template <typename Op>
bool Recorded(Context& context, Op op) {
    if (!context.compiling) return false;
    RecordOp(context, std::function<void()>(op));
    return true;
}

// Vertices: a finished primitive becomes triangles, drawn now or added to
// the list being compiled.
void AddTriangles(Context& context, GLenum primitive, const std::vector<Vertex>& vertices);

// Textures: a level of tightly packed RGB rows, to the bound texture; the
// rows of client memory packed so (the unpack alignment applied).
void UploadLevel(Context& context, int level, int width, int height, const uint8_t* rgb);
std::vector<uint8_t> UnpackRgb(const Context& context, int width, int height, const void* pixels);
bool IsComplete(const Texture& texture);

}  // namespace kv17::gl
