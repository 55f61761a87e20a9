#include "dib_color_count.h"

#include "little_endian.h"

namespace {

constexpr uint32_t kCoreHeaderBytes = 12;

uint16_t EntriesForBitCount(uint16_t bitCount) {
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

}  // namespace

uint16_t DibColorCount(const void* header) {
    const auto* bytes = static_cast<const unsigned char*>(header);
    if (ReadLe32(bytes) == kCoreHeaderBytes) {
        return EntriesForBitCount(ReadLe16(bytes + 10));  // bcBitCount
    }
    const uint32_t colorsUsed = ReadLe32(bytes + 32);  // biClrUsed
    if (colorsUsed != 0) {
        return static_cast<uint16_t>(colorsUsed);
    }
    return EntriesForBitCount(ReadLe16(bytes + 14));  // biBitCount
}
