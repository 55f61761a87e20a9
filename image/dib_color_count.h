#pragma once

#include <cstdint>

// Number of colour-table entries that follow a DIB header: 2, 16 or 256 for
// 1, 4 and 8 bits per pixel, none for deeper pixels, unless an info header's
// colours-used field names a count (of which the low 16 bits are taken). A
// header size other than 12 is read as the 40-byte info form.
uint16_t DibColorCount(const void* header);
