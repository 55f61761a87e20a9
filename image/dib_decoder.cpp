#include "dib_decoder.h"

#include "dib_layout.h"
#include "dib_palette.h"
#include "dib_rle.h"
#include "dib_rows.h"
#include "image_memory.h"

#include <cstdlib>

DibStatus DecodeDib(const void* data, size_t size, RgbImage** image, DibForms forms) {
    *image = nullptr;
    DibLayout layout;
    DibStatus status = ReadDibLayout(static_cast<const unsigned char*>(data), size, &layout, forms);
    if (status != DibStatus::Loaded) {
        return status;
    }

    const size_t pixelBytes = size_t{static_cast<uint32_t>(layout.width)} * layout.rows * 3;
    const bool runLength = layout.compression == kBiRle8 || layout.compression == kBiRle4;
    auto* pixels = static_cast<unsigned char*>(runLength ? AllocateZeroedImageMemory(pixelBytes)
                                                         : AllocateImageMemory(pixelBytes));
    if (pixels == nullptr) {
        return DibStatus::OutOfMemory;
    }
    const DibPalette palette = ReadDibPalette(layout);
    if (runLength) {
        status = DecodeDibRle(layout, palette, pixels);
    } else {
        ConvertDibRows(layout, palette, pixels);
    }
    if (status != DibStatus::Loaded) {
        std::free(pixels);
        return status;
    }

    auto* record = static_cast<RgbImage*>(AllocateImageMemory(sizeof(RgbImage)));
    if (record == nullptr) {
        std::free(pixels);
        return DibStatus::OutOfMemory;
    }
    *record = RgbImage{
        .width = layout.width, .height = static_cast<int32_t>(layout.rows), .pixels = pixels};
    *image = record;
    return DibStatus::Loaded;
}
