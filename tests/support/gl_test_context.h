// Reading back what a GlTestContext (offscreen_gl.h) has drawn.
#pragma once

#include "offscreen_gl.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

// An RGB pixel read back from the frame being drawn.
struct Rgb {
    int r, g, b;
};

// Reads the frame as RGB rows, bottom row first.
inline std::vector<uint8_t> ReadFrame(int width = 640, int height = 480) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

inline Rgb PixelAt(const std::vector<uint8_t>& frame, int x, int y, int width = 640) {
    const uint8_t* p = &frame[((size_t)y * width + x) * 3];
    return {p[0], p[1], p[2]};
}

// The first `count` values of a piece of GL state, as floats.
inline std::vector<GLfloat> GetFloats(GLenum name, int count = 1) {
    GLfloat values[16] = {};
    glGetFloatv(name, values);
    return {values, values + count};
}
