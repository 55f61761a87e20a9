#include "dib_layout.h"

#include "dib_color_count.h"
#include "little_endian.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kOffBitsField = 10;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
// The colour masks that follow a 40-byte header of a BI_BITFIELDS bitmap;
// the newer headers hold them from this offset on, alpha from 56 bytes.
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kAlphaMaskHeaderBytes = 56;

bool IsNewerHeader(uint32_t size) { return size == 52 || size == 56 || size == 108 || size == 124; }

bool StartsWithFileHeader(const unsigned char* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool IsRunLength(uint32_t compression) { return compression == kBiRle8 || compression == kBiRle4; }

bool IsConvertible(uint16_t planes, uint16_t bitCount, uint32_t compression, DibForms forms) {
    if (planes != 1) {
        return false;
    }
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
               bitCount == 24 || bitCount == 32;
    case kBiRle8:
        return bitCount == 8;
    case kBiRle4:
        return bitCount == 4;
    case kBiBitFields:
        return forms == DibForms::WithNewer && (bitCount == 16 || bitCount == 32);
    default:
        return false;
    }
}

}  // namespace

uint64_t DibRowStride(uint32_t bitCount, uint32_t width) {
    return (uint64_t{bitCount} * width + 31) / 32 * 4;
}

bool LooksLikeDib(const unsigned char* data, size_t size) {
    if (StartsWithFileHeader(data, size)) return true;
    if (size < 4) return false;
    const uint32_t headerSize = ReadLe32(data);
    return headerSize == kCoreHeaderBytes || headerSize == kInfoHeaderBytes ||
           IsNewerHeader(headerSize);
}

DibStatus ReadDibLayout(const unsigned char* data, size_t size, DibLayout* layout, DibForms forms) {
    const bool hasFileHeader = StartsWithFileHeader(data, size);
    const size_t headerStart = hasFileHeader ? kFileHeaderBytes : 0;
    if (size < headerStart + 4) {
        return DibStatus::Truncated;
    }
    const unsigned char* header = data + headerStart;
    const uint32_t headerSize = ReadLe32(header);
    if (headerSize != kCoreHeaderBytes && headerSize != kInfoHeaderBytes) {
        if (!IsNewerHeader(headerSize)) {
            return DibStatus::UnknownFormat;
        }
        if (forms == DibForms::Demo) {
            return DibStatus::NewerHeader;
        }
    }
    if (size - headerStart < headerSize) {
        return DibStatus::Truncated;
    }

    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;  // the core form has no compression field
    if (headerSize == kCoreHeaderBytes) {
        width = ReadLe16(header + 4);
        height = ReadLe16(header + 6);
        planes = ReadLe16(header + 8);
        bitCount = ReadLe16(header + 10);
    } else {
        width = static_cast<int32_t>(ReadLe32(header + 4));
        height = static_cast<int32_t>(ReadLe32(header + 8));
        planes = ReadLe16(header + 12);
        bitCount = ReadLe16(header + 14);
        compression = ReadLe32(header + 16);
    }
    if (!IsConvertible(planes, bitCount, compression, forms) || width < 0) {
        return DibStatus::Unsupported;
    }
    // The format defines run-length bitmaps bottom-up only.
    if (height < 0 && IsRunLength(compression)) {
        return DibStatus::Unsupported;
    }
    if (width == 0 || height == 0) {
        return DibStatus::NoPixels;
    }
    const int64_t rows = height < 0 ? -height : height;
    if (width > kMaxImageSide || rows > kMaxImageSide ||
        static_cast<uint64_t>(width * rows * 3) > kMaxPixelBufferBytes) {
        return DibStatus::TooLarge;
    }

    uint32_t masks[4] = {};
    size_t masksAfterHeader = 0;
    if (compression == kBiBitFields) {
        masksAfterHeader = headerSize == kInfoHeaderBytes ? kMaskBytes : 0;
        if (size - headerStart - headerSize < masksAfterHeader) {
            return DibStatus::Truncated;
        }
        const int maskCount = headerSize >= kAlphaMaskHeaderBytes ? 4 : 3;
        for (int i = 0; i < maskCount; ++i) {
            masks[i] = ReadLe32(header + kInfoHeaderBytes + 4 * i);
        }
    }

    const uint32_t colorCount = DibColorCount(header);
    const uint32_t colorEntryBytes = headerSize == kCoreHeaderBytes ? 3 : 4;
    const size_t tableStart = headerStart + headerSize + masksAfterHeader;
    const size_t tableBytes = size_t{colorCount} * colorEntryBytes;
    if (size - tableStart < tableBytes) {
        return DibStatus::Truncated;
    }
    // With a file header its bfOffBits places the pixels (skipping any gap);
    // without one they follow the colour table.
    const size_t pixelStart =
        hasFileHeader ? ReadLe32(data + kOffBitsField) : tableStart + tableBytes;
    if (pixelStart > size) {
        return DibStatus::Truncated;
    }
    // Uncompressed rows must all be there; a run-length stream needs at
    // least one two-byte command.
    const size_t pixelDataBytes = size - pixelStart;
    if (!IsRunLength(compression)
            ? pixelDataBytes / DibRowStride(bitCount, static_cast<uint32_t>(width)) < uint64_t(rows)
            : pixelDataBytes < 2) {
        return DibStatus::Truncated;
    }

    *layout = DibLayout{
        .headerSize = headerSize,
        .width = static_cast<int32_t>(width),
        .height = static_cast<int32_t>(height),
        .rows = static_cast<uint32_t>(rows),
        .bitCount = bitCount,
        .compression = compression,
        .masks = {masks[0], masks[1], masks[2], masks[3]},
        .colorTable = data + tableStart,
        .colorCount = colorCount,
        .colorEntryBytes = colorEntryBytes,
        .pixelData = data + pixelStart,
        .pixelDataBytes = pixelDataBytes,
    };
    return DibStatus::Loaded;
}
