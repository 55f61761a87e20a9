#pragma once

#include "dib_layout.h"

#include <array>

struct RgbColor {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

// Indexed to the widest pixel index (8 bits). Entries beyond the colour
// table present in the file are black, so any index is safe to look up.
using DibPalette = std::array<RgbColor, 256>;

DibPalette ReadDibPalette(const DibLayout& layout);
