#pragma once

#include "dib_layout.h"
#include "dib_palette.h"

// Converts every uncompressed row into `out` (rows * width * 3 bytes), bottom
// row first whichever way the file stores them.
void ConvertDibRows(const DibLayout& layout, const DibPalette& palette, unsigned char* out);
