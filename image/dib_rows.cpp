#include "dib_rows.h"

#include "little_endian.h"

namespace {

using RowConverter = void (*)(const unsigned char* in, uint32_t width, const DibPalette& palette,
                              unsigned char* out);

void PutColor(const RgbColor& color, unsigned char* out) {
    out[0] = color.red;
    out[1] = color.green;
    out[2] = color.blue;
}

// Indices are packed from the most significant bits: the leftmost pixel of
// a 1-bit byte is bit 7.
template <unsigned Bits>
void ConvertIndexedRow(const unsigned char* in, uint32_t width, const DibPalette& palette,
                       unsigned char* out) {
    constexpr unsigned kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    for (uint32_t x = 0; x < width; ++x) {
        const unsigned shift = 8 - Bits - (x % kPerByte) * Bits;
        PutColor(palette[(in[x / kPerByte] >> shift) & kMask], out + 3 * x);
    }
}

// 5 bits each of red, green and blue from bit 14 down; bit 15 is ignored.
// Bit replication widens 0..31 onto the full 0..255.
unsigned char Widen5(unsigned value) { return static_cast<unsigned char>(value << 3 | value >> 2); }

void Convert16BitRow(const unsigned char* in, uint32_t width, const DibPalette&,
                     unsigned char* out) {
    for (uint32_t x = 0; x < width; ++x) {
        const unsigned pixel = ReadLe16(in + 2 * x);
        out[3 * x] = Widen5(pixel >> 10 & 31);
        out[3 * x + 1] = Widen5(pixel >> 5 & 31);
        out[3 * x + 2] = Widen5(pixel & 31);
    }
}

void Convert24BitRow(const unsigned char* in, uint32_t width, const DibPalette&,
                     unsigned char* out) {
    for (uint32_t x = 0; x < width; ++x) {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
    }
}

void Convert32BitRow(const unsigned char* in, uint32_t width, const DibPalette&,
                     unsigned char* out) {
    for (uint32_t x = 0; x < width; ++x) {
        out[3 * x] = in[4 * x + 2];
        out[3 * x + 1] = in[4 * x + 1];
        out[3 * x + 2] = in[4 * x];
    }
}

// One channel of a BI_BITFIELDS pixel: the bits under its mask, scaled onto
// 0..255; `absent` where the mask is 0 (black, or for alpha opaque).
struct MaskedChannel {
    MaskedChannel(uint32_t mask, unsigned absent) : mask(mask), absent(absent) {
        while (mask != 0 && (mask >> shift & 1) == 0) ++shift;
        largest = mask >> shift;
    }
    unsigned Read(uint32_t pixel) const {
        if (largest == 0) return absent;
        const uint64_t value = (pixel & mask) >> shift;
        return static_cast<unsigned>((value * 255 + largest / 2) / largest);
    }
    uint32_t mask;
    unsigned absent;
    unsigned shift = 0;
    uint32_t largest;
};

// 16- or 32-bit pixels laid out by the masks; transparent parts turn black,
// as the tools treat every picture with an alpha channel.
void ConvertMaskedRow(const DibLayout& layout, const unsigned char* in, unsigned char* out) {
    const MaskedChannel red(layout.masks[0], 0), green(layout.masks[1], 0);
    const MaskedChannel blue(layout.masks[2], 0), alpha(layout.masks[3], 255);
    const bool wide = layout.bitCount == 32;
    for (uint32_t x = 0; x < static_cast<uint32_t>(layout.width); ++x) {
        const uint32_t pixel = wide ? ReadLe32(in + 4 * x) : ReadLe16(in + 2 * x);
        const unsigned opacity = alpha.Read(pixel);
        for (int c = 0; c < 3; ++c) {
            const MaskedChannel& channel = c == 0 ? red : c == 1 ? green : blue;
            out[3 * x + c] =
                static_cast<unsigned char>((channel.Read(pixel) * opacity + 127) / 255);
        }
    }
}

RowConverter ConverterFor(uint16_t bitCount) {
    switch (bitCount) {
    case 1:
        return ConvertIndexedRow<1>;
    case 4:
        return ConvertIndexedRow<4>;
    case 8:
        return ConvertIndexedRow<8>;
    case 16:
        return Convert16BitRow;
    case 24:
        return Convert24BitRow;
    default:
        return Convert32BitRow;
    }
}

}  // namespace

void ConvertDibRows(const DibLayout& layout, const DibPalette& palette, unsigned char* out) {
    const RowConverter convert = ConverterFor(layout.bitCount);
    const auto width = static_cast<uint32_t>(layout.width);
    const uint64_t stride = DibRowStride(layout.bitCount, width);
    const size_t outRowBytes = size_t{width} * 3;
    const bool topDown = layout.height < 0;
    const bool masked = layout.compression == kBiBitFields;
    for (uint32_t row = 0; row < layout.rows; ++row) {
        const uint32_t outRow = topDown ? layout.rows - 1 - row : row;
        const unsigned char* in = layout.pixelData + row * stride;
        if (masked)
            ConvertMaskedRow(layout, in, out + outRow * outRowBytes);
        else
            convert(in, width, palette, out + outRow * outRowBytes);
    }
}
