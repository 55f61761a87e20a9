#include "dib_status.h"

const char* DibStatusText(DibStatus status) {
    switch (status) {
    case DibStatus::UnknownFormat:
    case DibStatus::NewerHeader:
        return "Unknown DIB file format.";
    case DibStatus::Unsupported:
        return "Image file conversion error.";
    case DibStatus::Truncated:
        return "Bitmap file is truncated.";
    case DibStatus::NoPixels:
        return "Bitmap width or height is zero.";
    case DibStatus::TooLarge:
        return "Bitmap is too large.";
    case DibStatus::OutOfMemory:
    default:
        return "Out of memory.";
    }
}
