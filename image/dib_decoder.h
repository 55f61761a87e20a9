// The portable BMP decoder: a whole bitmap file (or a bare DIB without the
// 14-byte file header) in memory, converted into an RgbImage. It reads only
// within [data, data + size).
#pragma once

#include "dib_status.h"
#include "rgb_image.h"

#include <cstddef>

// On Loaded, *image receives a record and pixel buffer from malloc that the
// caller frees (pixels first); otherwise *image is null and nothing stays
// allocated. Top-down files come out bottom row first with a positive height.
DibStatus DecodeDib(const void* data, size_t size, RgbImage** image);
