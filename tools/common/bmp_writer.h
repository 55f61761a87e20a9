// Writing bitmaps in the form the demo reads: the one writer of the tools,
// the benchmarks and the tests.
#pragma once

#include "rgb_image.h"

#include <cstdint>
#include <vector>

// The 14-byte file header and the 40-byte info header of a bitmap whose
// colour table of `colors` four-byte entries and `pixelBytes` of pixel data
// follow them.
std::vector<uint8_t> BitmapHeaders(int32_t width, int32_t height, uint16_t bitCount,
                                   uint32_t compression, uint32_t colors, uint32_t pixelBytes);

// `image` as a whole file: 24 bits per pixel, rows bottom first, each
// padded to 4 bytes.
std::vector<uint8_t> EncodeBitmap(const RgbImage& image);
