#include "image_memory.h"

#include <cstdlib>

namespace {

int allocationsUntilFailure = 0;

bool AllocationFails() {
    if (allocationsUntilFailure == 0) {
        return false;
    }
    return --allocationsUntilFailure == 0;
}

}  // namespace

void* AllocateImageMemory(size_t bytes) {
    if (AllocationFails()) {
        return nullptr;
    }
    return std::malloc(bytes);
}

void* AllocateZeroedImageMemory(size_t bytes) {
    if (AllocationFails()) {
        return nullptr;
    }
    // calloc hands out fresh pages untouched, which matters for large images.
    return std::calloc(1, bytes);
}

namespace kv17::image_test {

void FailAllocation(int nth) { allocationsUntilFailure = nth; }

}  // namespace kv17::image_test
