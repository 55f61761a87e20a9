// The portable BMP decoder: a whole bitmap file (or a bare DIB without the
// 14-byte file header) in memory, converted into an RgbImage. It reads only
// within [data, data + size).
#pragma once

#include "dib_layout.h"
#include "dib_status.h"
#include "rgb_image.h"

#include <cstddef>

// On Loaded, *image receives an image that the caller frees with
// FreeRgbImage; otherwise *image is null and nothing stays allocated.
// Top-down files come out bottom row first with a positive height. `forms`:
// the demo's bitmaps, or also the newer ones (dib_layout.h).
DibStatus DecodeDib(const void* data, size_t size, RgbImage** image,
                    DibForms forms = DibForms::Demo);
