// Where the parts of a DIB lie in memory and what its header says, checked
// against the size of the data before any pixel is read.
#pragma once

#include "dib_status.h"

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;

// No GL implementation takes a texture side above this; it also keeps every
// size computed from the dimensions far inside 64 bits.
inline constexpr int64_t kMaxImageSide = 32768;
inline constexpr uint64_t kMaxPixelBufferBytes = uint64_t{1} << 30;

struct DibLayout {
    uint32_t headerSize;  // 12 (core) or 40 (info)
    int32_t width;        // 1 .. kMaxImageSide
    int32_t height;       // as stored: negative when the rows run top-down
    uint32_t rows;        // abs(height)
    uint16_t bitCount;
    uint32_t compression;  // kBiRgb, kBiRle8 or kBiRle4
    const unsigned char* colorTable;
    uint32_t colorCount;       // entries present in the data
    uint32_t colorEntryBytes;  // 3 (RGBTRIPLE) or 4 (RGBQUAD)
    const unsigned char* pixelData;
    size_t pixelDataBytes;  // from pixelData to the end of the data
};

// Fills `layout` and returns Loaded when the headers describe a bitmap the
// decoder converts and the data hold its colour table and (uncompressed)
// all of its rows.
DibStatus ReadDibLayout(const unsigned char* data, size_t size, DibLayout* layout);

// Bytes of one uncompressed file row: the packed pixels rounded up to 4 bytes.
uint64_t DibRowStride(uint32_t bitCount, uint32_t width);
