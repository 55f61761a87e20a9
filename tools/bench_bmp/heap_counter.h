#pragma once

#include <cstddef>

// Bytes of heap in use by the statically linked code, and the most in use
// since the last ResetHeapPeak().
size_t HeapBytesInUse();
size_t HeapPeakBytes();
void ResetHeapPeak();
