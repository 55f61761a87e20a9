// Run-length streams: runs, absolute runs with their word padding, end of
// line, delta and end of bitmap; pixels skipped stay black; nothing is drawn
// outside the bitmap and nothing is read past the data.
#include "decode_helpers.h"

#include <string>

namespace {

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// 255 four-bit pixels take 128 bytes; one is missing.
const Bytes kAbsoluteOf255Cut = [] {
    Bytes stream = {0x00, 0xFF};
    stream.insert(stream.end(), 127, 0x11);
    return stream;
}();

struct RleCase {
    const char* name;
    uint32_t compression;
    int32_t width;
    int32_t height;
    Bytes stream;
    DibStatus status;
    std::vector<int> indices;  // expected picture, bottom row first; -1 black
};

void PrintTo(const RleCase& row, std::ostream* out) { *out << row.name; }

const RleCase kRleCases[] = {
    {"Rle8RunsAbsoluteDeltaEnd",
     kRle8,
     4,
     3,
     {0x03, 0x05, 0x00, 0x00,                                      // 5 5 5, end of line
      0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x01, 0x07, 0x00, 0x00,  // absolute 1 2 3 + pad, 7
      0x00, 0x02, 0x02, 0x00, 0x02, 0x09, 0x00, 0x01},             // delta right 2, 9 9, end
     DibStatus::Loaded,
     {5, 5, 5, -1, 1, 2, 3, 7, -1, -1, 9, 9}},
    {"Rle8DeltaUp",
     kRle8,
     4,
     3,
     {0x01, 0x04, 0x00, 0x02, 0x01, 0x01, 0x01, 0x06, 0x00, 0x01},
     DibStatus::Loaded,
     {4, -1, -1, -1, -1, -1, 6, -1, -1, -1, -1, -1}},
    {"Rle8EndOfBitmapAtOnce", kRle8, 2, 2, {0x00, 0x01}, DibStatus::Loaded, {-1, -1, -1, -1}},
    // The last end of line leaves the picture: no end of bitmap needed.
    {"Rle4RunsAndPaddedAbsolute",
     kRle4,
     5,
     2,
     {0x05, 0x12, 0x00, 0x00, 0x00, 0x05, 0x34, 0x56, 0x70, 0x00, 0x00, 0x00},
     DibStatus::Loaded,
     {1, 2, 1, 2, 1, 3, 4, 5, 6, 7}},
    {"Rle4UnpaddedAbsolute",
     kRle4,
     3,
     1,
     {0x00, 0x03, 0xAB, 0xC0, 0x00, 0x01},
     DibStatus::Loaded,
     {10, 11, 12}},
    // Hostile: runs longer than the row, an absolute run past its end, a
    // delta beyond the right edge and one beyond the top.
    {"Rle8RunsPastRowEnd",
     kRle8,
     2,
     2,
     {0x05, 0x03, 0x01, 0x04, 0x00, 0x00, 0x00, 0x03, 0x07, 0x08, 0x09, 0x00, 0x00, 0x02, 0xFF,
      0xFF},
     DibStatus::Loaded,
     {3, 3, 7, 8}},
    {"Rle4RunPastRowEnd", kRle4, 3, 1, {0xFF, 0x12, 0x00, 0x01}, DibStatus::Loaded, {1, 2, 1}},
    {"Rle8DeltaPastRightEdge",
     kRle8,
     2,
     1,
     {0x00, 0x02, 0x05, 0x00, 0x03, 0x01, 0x00, 0x01},
     DibStatus::Loaded,
     {-1, -1}},
    {"Rle8EndOfLinesPastTop",
     kRle8,
     1,
     2,
     {0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03},
     DibStatus::Loaded,
     {2, -1}},
    // Hostile: the data end inside a command or before the picture does.
    {"Rle8StreamOneByte", kRle8, 1, 1, {0x01}, DibStatus::Truncated, {}},
    {"Rle8NoEnd", kRle8, 2, 1, {0x01, 0x05}, DibStatus::Truncated, {}},
    {"Rle8AbsoluteCut", kRle8, 4, 1, {0x00, 0x04, 0x01, 0x02}, DibStatus::Truncated, {}},
    {"Rle8AbsolutePadCut", kRle8, 4, 1, {0x00, 0x03, 0x01, 0x02, 0x03}, DibStatus::Truncated, {}},
    {"Rle8DeltaCut", kRle8, 4, 2, {0x00, 0x02, 0x01}, DibStatus::Truncated, {}},
    {"Rle4AbsoluteCut", kRle4, 8, 1, {0x00, 0x05, 0x12, 0x34}, DibStatus::Truncated, {}},
    {"Rle4AbsoluteOf255Cut", kRle4, 8, 1, kAbsoluteOf255Cut, DibStatus::Truncated, {}},
};

class RleTest : public ::testing::TestWithParam<RleCase> {};

TEST_P(RleTest, DrawsExactlyTheStream) {
    const RleCase& row = GetParam();
    const Decoded decoded =
        Decode(BuildBmp({.width = row.width,
                         .height = row.height,
                         .bitCount = uint16_t(row.compression == kRle8 ? 8 : 4),
                         .compression = row.compression,
                         .colorTable = TestColorTable(row.compression == kRle8 ? 256 : 16),
                         .pixels = row.stream}));

    ASSERT_EQ(decoded.status, row.status);
    if (row.status == DibStatus::Loaded) {
        EXPECT_EQ(decoded.pixels, TestColors(row.indices));
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, RleTest, ::testing::ValuesIn(kRleCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
