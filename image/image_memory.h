// The image buffers come from the C runtime heap because the receiver
// releases them with free().
#pragma once

#include <cstddef>

void* AllocateImageMemory(size_t bytes);
void* AllocateZeroedImageMemory(size_t bytes);

namespace kv17::image_test {

// Make the nth image allocation from now (1 = the next one) return null, as
// an exhausted heap would; 0 disarms.
void FailAllocation(int nth);

}  // namespace kv17::image_test
