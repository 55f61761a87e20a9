// The linker sends malloc, calloc, realloc and free of the benchmark's own
// objects here (-Wl,--wrap); the real ones are reached as __real_*.
#include "heap_counter.h"

#include <malloc.h>

#include <algorithm>

extern "C" {
void* __real_malloc(size_t bytes);
void* __real_calloc(size_t count, size_t bytes);
void* __real_realloc(void* block, size_t bytes);
void __real_free(void* block);
}

namespace {

size_t inUse = 0;
size_t peak = 0;

void* Counted(void* block) {
    if (block != nullptr) {
        inUse += malloc_usable_size(block);
        peak = std::max(peak, inUse);
    }
    return block;
}

}  // namespace

extern "C" {

void* __wrap_malloc(size_t bytes) { return Counted(__real_malloc(bytes)); }
void* __wrap_calloc(size_t count, size_t bytes) { return Counted(__real_calloc(count, bytes)); }
void* __wrap_realloc(void* block, size_t bytes) {
    const size_t before = block != nullptr ? malloc_usable_size(block) : 0;
    void* moved = __real_realloc(block, bytes);
    if (moved == nullptr) return nullptr;  // the old block stays as it was
    inUse -= before;
    return Counted(moved);
}
void __wrap_free(void* block) {
    if (block != nullptr) inUse -= malloc_usable_size(block);
    __real_free(block);
}

}  // extern "C"

size_t HeapBytesInUse() { return inUse; }
size_t HeapPeakBytes() { return peak; }
void ResetHeapPeak() { peak = inUse; }
