// gluPerspective and gluBuild2DMipmaps, computed as GLU computes them.
#include "state.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace kv17::gl {

namespace {

// GLU's rounding to a power of two: down, except that sizes whose two top
// bits are set (3, 6, 7, 12, ...) round up.
int NearestPower(int value) {
    int power = 1;
    for (;;) {
        if (value == 1) return power;
        if (value == 3) return power * 4;
        value >>= 1;
        power *= 2;
    }
}

// Box filter: each output pixel averages the source area it covers, partly
// covered source pixels by their share; the sum is truncated, as in GLU.
std::vector<uint8_t> Scale(const std::vector<uint8_t>& in, int inWidth, int inHeight, int outWidth,
                           int outHeight) {
    const double scaleX = (double)inWidth / outWidth, scaleY = (double)inHeight / outHeight;
    auto overlap = [](double low, double high, int pixel) {
        return std::max(0.0, std::min(high, pixel + 1.0) - std::max(low, (double)pixel));
    };
    std::vector<uint8_t> out((size_t)outWidth * outHeight * 3);
    for (int y = 0; y < outHeight; ++y) {
        const double top = y * scaleY, bottom = (y + 1) * scaleY;
        for (int x = 0; x < outWidth; ++x) {
            const double left = x * scaleX, right = (x + 1) * scaleX;
            double sum[3] = {0, 0, 0};
            for (int sy = (int)top; sy < std::min(inHeight, (int)std::ceil(bottom)); ++sy) {
                const double wy = overlap(top, bottom, sy);
                for (int sx = (int)left; sx < std::min(inWidth, (int)std::ceil(right)); ++sx) {
                    const double w = wy * overlap(left, right, sx);
                    for (int k = 0; k < 3; ++k)
                        sum[k] += w * in[((size_t)sy * inWidth + sx) * 3 + k];
                }
            }
            for (int k = 0; k < 3; ++k)
                out[((size_t)y * outWidth + x) * 3 + k] = (uint8_t)(sum[k] / (scaleX * scaleY));
        }
    }
    return out;
}

// The next level: 2 x 2 averages rounded, or pairs truncated once a side is 1.
std::vector<uint8_t> Halve(const std::vector<uint8_t>& in, int width, int height) {
    const int outWidth = std::max(1, width / 2), outHeight = std::max(1, height / 2);
    std::vector<uint8_t> out((size_t)outWidth * outHeight * 3);
    auto at = [&](int x, int y, int k) { return (int)in[((size_t)y * width + x) * 3 + k]; };
    for (int y = 0; y < outHeight; ++y)
        for (int x = 0; x < outWidth; ++x)
            for (int k = 0; k < 3; ++k) {
                int value;
                if (width > 1 && height > 1)
                    value = (at(2 * x, 2 * y, k) + at(2 * x + 1, 2 * y, k) +
                             at(2 * x, 2 * y + 1, k) + at(2 * x + 1, 2 * y + 1, k) + 2) /
                            4;
                else if (width > 1)
                    value = (at(2 * x, 0, k) + at(2 * x + 1, 0, k)) / 2;
                else
                    value = (at(0, 2 * y, k) + at(0, 2 * y + 1, k)) / 2;
                out[((size_t)y * outWidth + x) * 3 + k] = (uint8_t)value;
            }
    return out;
}

}  // namespace

}  // namespace kv17::gl

using namespace kv17::gl;

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    Matrix m{};
    m[0] = (float)(cotangent / aspect);
    m[5] = (float)cotangent;
    m[10] = (float)(-(zFar + zNear) / depth);
    m[11] = -1;
    m[14] = (float)(-2 * zNear * zFar / depth);
    MultiplyCurrent(m);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    if (target != GL_TEXTURE_2D || (internalFormat != 3 && internalFormat != GL_RGB) ||
        format != GL_RGB || type != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;
    if (width < 1 || height < 1) return GLU_INVALID_VALUE;
    Context* c = Current();
    if (!c) return 0;
    const int most = webgl::MaxTextureSize();
    int levelWidth = std::min(NearestPower(width), most);
    int levelHeight = std::min(NearestPower(height), most);
    std::vector<uint8_t> level = UnpackRgb(*c, width, height, data);
    if (levelWidth != width || levelHeight != height) {
        level = levelWidth * 2 == width && levelHeight * 2 == height
                    ? Halve(level, width, height)
                    : Scale(level, width, height, levelWidth, levelHeight);
    }
    for (int n = 0;; ++n) {
        UploadLevel(*c, n, levelWidth, levelHeight, level.data());
        if (levelWidth == 1 && levelHeight == 1) break;
        level = Halve(level, levelWidth, levelHeight);
        levelWidth = std::max(1, levelWidth / 2);
        levelHeight = std::max(1, levelHeight / 2);
    }
    c->Bound().mipmapped = true;
    return 0;
}

}  // extern "C"
