#pragma once

// Outcome of reading a DIB from memory. Every value but Loaded means that
// nothing was allocated.
enum class DibStatus {
    Loaded,
    UnknownFormat,  // the DIB header is neither the 12-byte core nor the 40-byte info form
    NewerHeader,    // a 52-, 56-, 108- or 124-byte header, which the demo refuses by design
    Unsupported,    // a bit count, compression or plane count the decoder does not convert
    Truncated,      // the data end before what the headers or the pixel stream claim
    NoPixels,       // zero width or height
    TooLarge,       // larger than any texture could be
    OutOfMemory,
};

// The message the demo shows for a status other than Loaded, the tools' reason.
const char* DibStatusText(DibStatus status);
