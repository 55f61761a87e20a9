// Making a captured frame smaller.
#pragma once

#include <cstdint>
#include <vector>

// Each `factor` x `factor` block of 3-byte pixels becomes their mean; a part
// block at the right or top edge is dropped.
std::vector<uint8_t> Shrink(const std::vector<uint8_t>& pixels, int width, int height, int factor);
