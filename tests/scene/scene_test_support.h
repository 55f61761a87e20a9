// What the scene tests share: a texture whose quadrants can be told apart,
// a current 640x480 context with the demo's projection, and probes.
#pragma once

#include "demo_fixture.h"
#include "gl_test_context.h"
#include "gl_window.h"
#include "scene_reset.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

// A 24-bit bitmap with its file header; `rgb` rows bottom first, unpadded.
inline void WriteBitmap(const std::filesystem::path& path, int width, int height,
                        const std::vector<uint8_t>& rgb) {
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t fileBytes = 54 + rowBytes * height;
    auto put = [](std::vector<uint8_t>* out, uint32_t value, int count) {
        for (int i = 0; i < count; ++i) out->push_back((uint8_t)(value >> (8 * i)));
    };
    std::vector<uint8_t> bytes = {'B', 'M'};
    put(&bytes, fileBytes, 4);
    put(&bytes, 0, 4);
    put(&bytes, 54, 4);
    put(&bytes, 40, 4);
    put(&bytes, width, 4);
    put(&bytes, height, 4);
    put(&bytes, 1, 2);
    put(&bytes, 24, 2);
    for (int i = 0; i < 6; ++i) put(&bytes, 0, 4);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(row * width + x) * 3];
            bytes.insert(bytes.end(), {p[2], p[1], p[0]});
        }
        bytes.resize(bytes.size() + rowBytes - width * 3, 0);
    }
    FILE* file = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// The quadrant texture: 8x8, bottom left red, bottom right green, top left
// blue, top right yellow, and the four corner texels white (so that a
// constant texture coordinate of (0, 0) or (0, 1) samples white).
constexpr Rgb kQuadrantRed = {255, 0, 0};
constexpr Rgb kQuadrantGreen = {0, 255, 0};
constexpr Rgb kQuadrantBlue = {0, 0, 255};
constexpr Rgb kQuadrantYellow = {255, 255, 0};

inline void WriteQuadrantBitmap(const std::filesystem::path& path) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            Rgb c = y < 4 ? (x < 4 ? kQuadrantRed : kQuadrantGreen)
                          : (x < 4 ? kQuadrantBlue : kQuadrantYellow);
            if ((x == 0 || x == 7) && (y == 0 || y == 7)) c = {255, 255, 255};
            rgb.insert(rgb.end(), {(uint8_t)c.r, (uint8_t)c.g, (uint8_t)c.b});
        }
    }
    WriteBitmap(path, 8, 8, rgb);
}

// Window position (pixels from the left and from the bottom) of an eye-space
// point under the demo's projection: 45 degrees vertical, 640x480.
struct ScreenPoint {
    double x, y;
};
inline ScreenPoint Project(double x, double y, double z) {
    const double f = 1.0 / std::tan(22.5 * std::numbers::pi / 180.0);
    return {320.0 + 320.0 * (f / (640.0 / 480.0)) * x / -z, 240.0 + 240.0 * f * y / -z};
}

// Rotation of (x, y, z) by `degrees` about the y axis, as glRotatef does.
inline void RotateAboutY(double degrees, double* x, double* z) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double rx = std::cos(a) * *x + std::sin(a) * *z;
    const double rz = -std::sin(a) * *x + std::cos(a) * *z;
    *x = rx;
    *z = rz;
}

// Three least significant steps of the coarsest colour channel: 24 for a
// 5-6-5 visual, 3 for 8 bits.
inline int VisualTolerance() {
    GLint red = 0, green = 0, blue = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    const int bits = std::min({red, green, blue});
    return (3 * 255 + (1 << bits) - 1) >> bits;
}

// The mean colour of the (2 radius + 1)^2 pixels around (x, y).
inline Rgb RegionColor(const std::vector<uint8_t>& frame, int x, int y, int radius = 1) {
    int r = 0, g = 0, b = 0, n = 0;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            Rgb p = PixelAt(frame, x + dx, y + dy);
            r += p.r;
            g += p.g;
            b += p.b;
            ++n;
        }
    }
    return {(r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n};
}

inline ::testing::AssertionResult ColorNear(const Rgb& actual, const Rgb& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.r << ", " << actual.g << ", " << actual.b << ") is not within "
           << tolerance << " of (" << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

// A current context on a headless window whose DC the scene uses, the
// demo's projection, the quadrant texture in Data/, and fresh scene
// variables. InitScene is left to the test.
class SceneTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        ResetSceneVariables();
        WriteQuadrantBitmap(directory_ / "Data" / "texture.bmp");
        context_.emplace();
        ASSERT_TRUE(context_->ok());
        windowDC = context_->dc;
        ResizeScene(640, 480);
    }
    void TearDown() override {
        context_.reset();
        ResetSceneVariables();
        DemoTest::TearDown();
    }

    std::optional<GlTestContext> context_;
};

// A point on a pyramid's front face given by its weights on the red apex
// (0, 1, 0), the green corner (-1, -1, 1) and the blue corner (1, -1, 1);
// smooth shading gives it the same mix of the three colours.
struct FaceMix {
    double apex, green, blue;
};

// Checks the colour where the projection puts that point of the pyramid
// standing at (x, y, z), turned `yaw` degrees about y. The tolerance adds to
// the visual's the change of colour across half a pixel of the face.
inline ::testing::AssertionResult PyramidFaceShows(const std::vector<uint8_t>& frame, double x,
                                                   double y, double z, double yaw, FaceMix mix) {
    double px = mix.blue - mix.green;
    double py = mix.apex - mix.green - mix.blue;
    double pz = mix.green + mix.blue;
    RotateAboutY(yaw, &px, &pz);
    const ScreenPoint at = Project(x + px, y + py, z + pz);
    const Rgb expected = {(int)std::lround(255 * mix.apex), (int)std::lround(255 * mix.green),
                          (int)std::lround(255 * mix.blue)};
    const Rgb actual = RegionColor(frame, (int)at.x, (int)at.y);
    ::testing::AssertionResult near = ColorNear(actual, expected, VisualTolerance() + 8);
    if (!near) near << " at pixel (" << (int)at.x << ", " << (int)at.y << ")";
    return near;
}

// The three probes of a pyramid: near the apex, near each base corner, and
// far enough from the face's edges (4 pixels on a pyramid 30 units away)
// for the probed region to lie wholly on the face.
constexpr FaceMix kNearApex = {0.8, 0.1, 0.1};
constexpr FaceMix kNearGreen = {0.1, 0.8, 0.1};
constexpr FaceMix kNearBlue = {0.1, 0.1, 0.8};
