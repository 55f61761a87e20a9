// Run-length streams: runs, absolute runs with their word padding, end of
// line, delta and end of bitmap; pixels skipped stay black; nothing is drawn
// outside the bitmap and nothing is read past the data.
#include "decode_helpers.h"

#include <string>

namespace {

struct RleCase {
    const char* name;
    uint32_t compression;  // 1: RLE8, 2: RLE4
    int32_t width;
    int32_t height;
    Bytes stream;
    std::vector<int> indices;  // the picture, bottom row first, -1 black; empty: truncated
};

void PrintTo(const RleCase& row, std::ostream* out) { *out << row.name; }

// 255 four-bit pixels take 128 bytes; one is missing.
Bytes AbsoluteOf255Cut() {
    Bytes stream = {0x00, 0xFF};
    stream.insert(stream.end(), 127, 0x11);
    return stream;
}

// clang-format off
const RleCase kRleCases[] = {
    // 5 5 5 | end of line | absolute 1 2 3 (padded), 7 | delta right 2, 9 9, end of bitmap
    {"Rle8AllCommands", 1, 4, 3, {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 1, 7, 0, 0, 0, 2, 2, 0, 2, 9, 0, 1},
     {5, 5, 5, -1, 1, 2, 3, 7, -1, -1, 9, 9}},
    {"Rle8DeltaUp", 1, 4, 3, {1, 4, 0, 2, 1, 1, 1, 6, 0, 1},
     {4, -1, -1, -1, -1, -1, 6, -1, -1, -1, -1, -1}},
    {"Rle8EndOfBitmapAtOnce", 1, 2, 2, {0, 1}, {-1, -1, -1, -1}},
    // The last end of line leaves the picture: no end of bitmap needed.
    {"Rle4RunsAndPaddedAbsolute", 2, 5, 2, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0},
     {1, 2, 1, 2, 1, 3, 4, 5, 6, 7}},
    {"Rle4UnpaddedAbsolute", 2, 3, 1, {0, 3, 0xAB, 0xC0, 0, 1}, {10, 11, 12}},
    // Runs longer than the row, an absolute run past its end, deltas beyond
    // the right edge and beyond the top, ends of line past the top.
    {"Rle8RunsPastRowEnd", 1, 2, 2, {5, 3, 1, 4, 0, 0, 0, 3, 7, 8, 9, 0, 0, 2, 0xFF, 0xFF},
     {3, 3, 7, 8}},
    {"Rle4RunPastRowEnd", 2, 3, 1, {0xFF, 0x12, 0, 1}, {1, 2, 1}},
    {"Rle8DeltaPastRightEdge", 1, 2, 1, {0, 2, 5, 0, 3, 1, 0, 1}, {-1, -1}},
    {"Rle8EndOfLinesPastTop", 1, 1, 2, {1, 2, 0, 0, 0, 0, 1, 3}, {2, -1}},
    // The data end inside a command or before the picture does.
    {"Rle8StreamOneByte", 1, 1, 1, {1}, {}},
    {"Rle8NoEnd", 1, 2, 1, {1, 5}, {}},
    {"Rle8AbsoluteCut", 1, 4, 1, {0, 4, 1, 2}, {}},
    {"Rle8AbsolutePadCut", 1, 4, 1, {0, 3, 1, 2, 3}, {}},
    {"Rle8DeltaCut", 1, 4, 2, {0, 2, 1}, {}},
    {"Rle4AbsoluteCut", 2, 8, 1, {0, 5, 0x12, 0x34}, {}},
    {"Rle4AbsoluteOf255Cut", 2, 8, 1, AbsoluteOf255Cut(), {}},
};
// clang-format on

class RleTest : public ::testing::TestWithParam<RleCase> {};

TEST_P(RleTest, DrawsExactlyTheStream) {
    const RleCase& row = GetParam();
    const bool eightBit = row.compression == 1;
    const Decoded decoded = Decode(BuildBmp({.width = row.width,
                                             .height = row.height,
                                             .bitCount = uint16_t(eightBit ? 8 : 4),
                                             .compression = row.compression,
                                             .colorTable = TestColorTable(eightBit ? 256 : 16),
                                             .pixels = row.stream}));

    if (row.indices.empty()) {
        EXPECT_EQ(decoded.status, DibStatus::Truncated);
    } else {
        ASSERT_EQ(decoded.status, DibStatus::Loaded);
        EXPECT_EQ(decoded.pixels, TestColors(row.indices));
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, RleTest, ::testing::ValuesIn(kRleCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
