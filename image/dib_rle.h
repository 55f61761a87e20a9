#pragma once

#include "dib_layout.h"
#include "dib_palette.h"

// Draws a BI_RLE8 or BI_RLE4 stream into `out` (rows * width * 3 bytes,
// zero-filled by the caller: pixels the stream skips stay black). Pixels
// beyond the end of a row and rows beyond the top are dropped. Returns
// Truncated when the data end inside a command or before the end of the
// bitmap is reached, else Loaded.
DibStatus DecodeDibRle(const DibLayout& layout, const DibPalette& palette, unsigned char* out);
