// Any bytes into the decoder: it must reject or decode them without reading
// or writing out of bounds, without undefined behaviour and without leaks.
#include "dib_decoder.h"
#include "dib_layout.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Run-length pictures up to 1 GiB are legal but would make runs crawl; the
// size checks themselves still see every input.
constexpr uint64_t kLargestDecodedPixels = uint64_t{1} << 22;

bool TooSlowToDecode(const uint8_t* data, size_t size) {
    DibLayout layout;
    return ReadDibLayout(data, size, &layout) == DibStatus::Loaded &&
           uint64_t(layout.width) * layout.rows > kLargestDecodedPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (TooSlowToDecode(data, size)) return 0;
    RgbImage* image = nullptr;
    const DibStatus status = DecodeDib(data, size, &image);
    if ((status == DibStatus::Loaded) != (image != nullptr)) std::abort();
    if (image != nullptr) {
        if (image->width <= 0 || image->height <= 0) std::abort();
        // Reading the last byte has the sanitizer check that the buffer is
        // as large as the record says.
        const size_t bytes = size_t(image->width) * size_t(image->height) * 3;
        volatile unsigned char last = image->pixels[bytes - 1];
        (void)last;
        FreeRgbImage(image);
    }
    return 0;
}
