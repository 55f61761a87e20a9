// A picture in memory: `height` rows of `width` pixels, top row first, each
// pixel red, green, blue.
#pragma once

#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
