// Texture objects: names, binding, filters and RGB images.
#include "state.h"

#include <cstring>

namespace kv17::gl {

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

bool IsMipmapFilter(GLenum filter) {
    return filter >= GL_NEAREST_MIPMAP_NEAREST && filter <= GL_LINEAR_MIPMAP_LINEAR;
}

void ApplyFilters(const Texture& t) {
    webgl::SetTextureFilters(t.webgl, t.minFilter, t.magFilter,
                             IsPowerOfTwo(t.width) && IsPowerOfTwo(t.height));
}

Texture& BoundWithName(Context& c) {
    Texture& t = c.Bound();
    if (!t.webgl) t.webgl = webgl::NewTexture();
    return t;
}

void UploadLevel0(int width, int height, const std::vector<uint8_t>& rgb) {
    if (Context* c = Current()) UploadLevel(*c, 0, width, height, rgb.data());
}

}  // namespace

bool IsComplete(const Texture& t) {
    if (t.width <= 0 || t.height <= 0) return false;
    // A mipmap filter needs every level; WebGL ignores it on other sizes.
    return !IsMipmapFilter(t.minFilter) || t.mipmapped ||
           !(IsPowerOfTwo(t.width) && IsPowerOfTwo(t.height));
}

void UploadLevel(Context& c, int level, int width, int height, const uint8_t* rgb) {
    Texture& t = BoundWithName(c);
    if (level == 0) {
        t.width = width;
        t.height = height;
        t.mipmapped = false;
        ApplyFilters(t);
    }
    webgl::UploadRgb(t.webgl, level, width, height, rgb);
}

// Rows as GL reads them from client memory (each padded to the unpack
// alignment), packed tightly.
std::vector<uint8_t> UnpackRgb(const Context& c, int width, int height, const void* pixels) {
    const size_t row = (size_t)width * 3;
    const size_t align = (size_t)c.unpackAlignment;
    const size_t stride = (row + align - 1) / align * align;
    std::vector<uint8_t> rgb(row * height);
    if (!pixels) return rgb;  // GL leaves the image undefined: black here
    for (int y = 0; y < height; ++y)
        std::memcpy(rgb.data() + y * row, static_cast<const uint8_t*>(pixels) + y * stride, row);
    return rgb;
}

}  // namespace kv17::gl

using namespace kv17::gl;

extern "C" {

void glGenTextures(GLsizei n, GLuint* textures) {
    Context* c = Current();
    if (!c || n < 0 || !textures) return;
    for (GLsizei i = 0; i < n; ++i) {
        while (c->textures.count(c->nextTextureName)) ++c->nextTextureName;
        textures[i] = c->nextTextureName++;
        c->textures[textures[i]].webgl = webgl::NewTexture();
    }
}

void glBindTexture(GLenum target, GLuint texture) {
    Context* c = Current();
    if (!c || target != GL_TEXTURE_2D || Recorded(*c, [=] { glBindTexture(target, texture); }))
        return;
    c->boundTexture = texture;
    c->textures[texture];  // binding a new name makes the object
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Context* c = Current();
    if (!c || target != GL_TEXTURE_2D ||
        Recorded(*c, [=] { glTexParameteri(target, pname, param); }))
        return;
    const GLenum value = (GLenum)param;
    Texture& t = BoundWithName(*c);
    if (pname == GL_TEXTURE_MIN_FILTER &&
        (value == GL_NEAREST || value == GL_LINEAR || IsMipmapFilter(value)))
        t.minFilter = value;
    else if (pname == GL_TEXTURE_MAG_FILTER && (value == GL_NEAREST || value == GL_LINEAR))
        t.magFilter = value;
    else
        return;
    ApplyFilters(t);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    Context* c = Current();
    if (!c || target != GL_TEXTURE_2D || level != 0 || border != 0 || width < 0 || height < 0)
        return;
    // Internal format 3 is GL 1.0's name for three components.
    const int largest = webgl::MaxTextureSize();
    if ((internalFormat != 3 && internalFormat != GL_RGB) || format != GL_RGB ||
        type != GL_UNSIGNED_BYTE || width > largest || height > largest)
        return;
    std::vector<uint8_t> rgb = UnpackRgb(*c, width, height, pixels);
    // A list keeps its own copy of the image, as GL's does.
    if (Recorded(*c, [=] { UploadLevel0(width, height, rgb); })) return;
    UploadLevel(*c, 0, width, height, rgb.data());
}

}  // extern "C"
