// Where the parts of a DIB lie in memory and what its header says, checked
// against the size of the data before any pixel is read.
#pragma once

#include "dib_status.h"

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitFields = 3;

// Which bitmaps a decode takes: the demo's (12- and 40-byte headers), or
// also the newer ones image editors write, for kv17-make-texture: the 52-,
// 56-, 108- and 124-byte headers (read as the 40-byte form they extend) and
// 16- and 32-bit pixels laid out by colour masks (BI_BITFIELDS).
enum class DibForms { Demo, WithNewer };

// No GL implementation takes a texture side above this; it also keeps every
// size computed from the dimensions far inside 64 bits.
inline constexpr int64_t kMaxImageSide = 32768;
inline constexpr uint64_t kMaxPixelBufferBytes = uint64_t{1} << 30;

struct DibLayout {
    uint32_t headerSize;  // 12 (core), 40 (info) or, with DibForms::WithNewer, larger
    int32_t width;        // 1 .. kMaxImageSide
    int32_t height;       // as stored: negative when the rows run top-down
    uint32_t rows;        // abs(height)
    uint16_t bitCount;
    uint32_t compression;  // kBiRgb, kBiRle8, kBiRle4 or kBiBitFields
    uint32_t masks[4];     // kBiBitFields: red, green, blue, alpha (0: opaque)
    const unsigned char* colorTable;
    uint32_t colorCount;       // entries present in the data
    uint32_t colorEntryBytes;  // 3 (RGBTRIPLE) or 4 (RGBQUAD)
    const unsigned char* pixelData;
    size_t pixelDataBytes;  // from pixelData to the end of the data
};

// Fills `layout` and returns Loaded when the headers describe a bitmap the
// decoder converts and the data hold its colour table and (uncompressed)
// all of its rows.
DibStatus ReadDibLayout(const unsigned char* data, size_t size, DibLayout* layout,
                        DibForms forms = DibForms::Demo);

// Whether `data` starts as a bitmap does: a file header, or a bare DIB whose
// first field is one of the header sizes the decoder knows. Says nothing of
// whether it decodes.
bool LooksLikeDib(const unsigned char* data, size_t size);

// Bytes of one uncompressed file row: the packed pixels rounded up to 4 bytes.
uint64_t DibRowStride(uint32_t bitCount, uint32_t width);
