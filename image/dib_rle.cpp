#include "dib_rle.h"

#include <algorithm>

namespace {

// Second byte of a command whose first (count) byte is 0.
constexpr unsigned kEndOfLine = 0;
constexpr unsigned kEndOfBitmap = 1;
constexpr unsigned kDelta = 2;

// The drawing position; x never passes the row's end, so every pixel that
// would land beyond it is dropped rather than wrapped.
struct RleCursor {
    unsigned char* out;
    uint32_t width;
    uint32_t x;
    uint32_t y;

    // Draws count pixels whose palette index is index(i) for the ith one.
    template <typename IndexOf>
    void Draw(uint32_t count, const DibPalette& palette, IndexOf index) {
        const uint32_t drawn = std::min(count, width - x);
        unsigned char* pixel = out + (size_t{y} * width + x) * 3;
        for (uint32_t i = 0; i < drawn; ++i, pixel += 3) {
            const RgbColor& color = palette[index(i)];
            pixel[0] = color.red;
            pixel[1] = color.green;
            pixel[2] = color.blue;
        }
        x += drawn;
    }
};

// In 4-bit runs the high nibble is the first pixel, the low nibble the second.
unsigned Nibble(unsigned byte, uint32_t i) { return i % 2 == 0 ? byte >> 4 : byte & 15; }

}  // namespace

DibStatus DecodeDibRle(const DibLayout& layout, const DibPalette& palette, unsigned char* out) {
    const unsigned char* in = layout.pixelData;
    const size_t size = layout.pixelDataBytes;
    const bool fourBit = layout.compression == kBiRle4;
    RleCursor cursor{.out = out, .width = static_cast<uint32_t>(layout.width), .x = 0, .y = 0};
    size_t at = 0;
    while (cursor.y < layout.rows) {
        if (size - at < 2) {
            return DibStatus::Truncated;
        }
        const unsigned count = in[at];
        const unsigned value = in[at + 1];
        at += 2;
        if (count != 0) {
            if (fourBit) {
                cursor.Draw(count, palette, [value](uint32_t i) { return Nibble(value, i); });
            } else {
                cursor.Draw(count, palette, [value](uint32_t) { return value; });
            }
            continue;
        }
        if (value == kEndOfLine) {
            cursor.x = 0;
            ++cursor.y;
        } else if (value == kEndOfBitmap) {
            return DibStatus::Loaded;
        } else if (value == kDelta) {
            if (size - at < 2) {
                return DibStatus::Truncated;
            }
            cursor.x = std::min<uint32_t>(cursor.x + in[at], cursor.width);
            cursor.y += in[at + 1];
            at += 2;
        } else {
            // Absolute run: `value` literal pixels, padded to a 16-bit word.
            const size_t bytes = fourBit ? (value + 1) / 2 : value;
            const size_t padded = bytes + bytes % 2;
            if (size - at < padded) {
                return DibStatus::Truncated;
            }
            const unsigned char* literal = in + at;
            if (fourBit) {
                cursor.Draw(value, palette,
                            [literal](uint32_t i) { return Nibble(literal[i / 2], i); });
            } else {
                cursor.Draw(value, palette, [literal](uint32_t i) { return literal[i]; });
            }
            at += padded;
        }
    }
    // The position has left the last row: nothing more can be drawn.
    return DibStatus::Loaded;
}
