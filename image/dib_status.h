#pragma once

// Outcome of reading a DIB from memory. Every value but Loaded means that
// nothing was allocated.
enum class DibStatus {
    Loaded,
    UnknownFormat,  // the DIB header is neither the 12-byte core nor the 40-byte info form
    Unsupported,    // a bit count, compression or plane count the decoder does not convert
    Truncated,      // the data end before what the headers or the pixel stream claim
    NoPixels,       // zero width or height
    TooLarge,       // larger than any texture could be
    OutOfMemory,
};
