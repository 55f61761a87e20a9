// The WebGL 1 side of the layer: the one canvas context, one shader program
// for everything, vertex buffers, textures and the state WebGL keeps itself.
// Plain types only, so that this header and <GL/gl.h> never meet WebGL's own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv17::gl {

// The unit of all geometry: every attribute of a vertex, interleaved.
struct Vertex {
    float position[3];
    float normal[3];
    float color[4];
    float texCoord[2];
};

// Which attributes a batch carries per vertex; the others come from the
// current values when it is drawn.
enum AttributeBits : unsigned {
    kNormalGiven = 1,
    kColorGiven = 2,
    kTexCoordGiven = 4,
    kAllGiven = 7,
};

// Everything a draw depends on besides its vertices.
struct DrawState {
    float modelViewProjection[16];  // column-major, as GL keeps matrices
    float modelView[16];
    float normalMatrix[9];  // inverse transpose of the modelview's upper 3 x 3
    bool texturing;         // GL_TEXTURE_2D on and the bound texture complete
    unsigned texture;       // the WebGL texture sampled when texturing
    bool lighting;          // GL_LIGHTING
    bool light1;            // GL_LIGHT1
    float lightAmbient[4];
    float lightDiffuse[4];
    float lightPosition[4];  // eye coordinates
    // The values of the attributes a batch does not carry.
    float normal[3];
    float color[4];
    float texCoord[2];
};

namespace webgl {

// The canvas's one WebGL 1 context: opaque, with a depth buffer and no
// antialiasing; `keepFrames` keeps each frame readable after it is shown.
// False when the browser refuses it.
bool Open(const char* canvasSelector, bool keepFrames);
// For a GL context made current: its draws share nothing with the last one's.
void ForgetLastDraw();
void DrawingBufferSize(int* width, int* height);

void SetEnabled(unsigned cap, bool on);  // GL_DEPTH_TEST, GL_BLEND
void ClearColor(const float rgba[4]);
void ClearDepth(float depth);
void Clear(unsigned mask);
void DepthFunc(unsigned func);
void BlendFunc(unsigned source, unsigned destination);
void Viewport(int x, int y, int width, int height);

// Triangles as indices into their vertices, each vertex shaded once
// however many triangles share it.
using Index = uint16_t;
constexpr size_t kMostVertices = 65536;  // what an index reaches

// Triangles from client memory, all attributes given.
void DrawTriangles(const DrawState& state, const Vertex* vertices, size_t vertexCount,
                   const Index* indices, size_t indexCount);

// Triangles kept in WebGL buffers.
struct Mesh {
    unsigned vertexBuffer;
    unsigned indexBuffer;
    size_t indexCount;
};
Mesh NewMesh(const Vertex* vertices, size_t vertexCount, const Index* indices, size_t indexCount);
void DeleteMesh(const Mesh& mesh);
void DrawMesh(const DrawState& state, const Mesh& mesh, unsigned given);

unsigned NewTexture();
void DeleteTexture(unsigned texture);
// Binds `texture` and sets its filters (GL enumerants, valid in WebGL too)
// and the wrap mode its size allows.
void SetTextureFilters(unsigned texture, unsigned minFilter, unsigned magFilter, bool powerOfTwo);
// Tightly packed RGB rows, bottom row first.
void UploadRgb(unsigned texture, int level, int width, int height, const uint8_t* pixels);
int MaxTextureSize();

}  // namespace webgl
}  // namespace kv17::gl
