// A loaded picture as the scene hands it to OpenGL (GL_RGB, GL_UNSIGNED_BYTE).
#pragma once

#include <cstdint>

// The record and its pixels come from malloc; whoever receives one releases
// it with FreeRgbImage. Rows are bottom row first and unpadded: row r starts
// at byte r * width * 3, each pixel is red, green, blue.
struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char* pixels;
};

// A record with room for width x height pixels (not cleared), or null when
// memory runs out; the sides must be positive.
RgbImage* NewRgbImage(int32_t width, int32_t height);

// Frees the pixels, then the record; a null image is ignored.
void FreeRgbImage(RgbImage* image);
