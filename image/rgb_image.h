// A loaded picture as the scene hands it to OpenGL (GL_RGB, GL_UNSIGNED_BYTE).
#pragma once

#include <cstdint>

// The record and its pixels come from malloc; the receiver frees `pixels`
// first, then the record. Rows are bottom row first and unpadded: row r
// starts at byte r * width * 3, each pixel is red, green, blue.
struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char* pixels;
};
