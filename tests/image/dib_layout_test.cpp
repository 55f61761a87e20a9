// Where the colour table and the pixels are found: the colour count rules
// and the pixel offset with and without the file header.
#include "bmp_builder.h"
#include "dib_color_count.h"
#include "dib_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ColorCountCase {
    const char* name;
    BmpFile header;
    uint16_t expected;
};

void PrintTo(const ColorCountCase& row, std::ostream* out) { *out << row.name; }

// clang-format off
const ColorCountCase kColorCountCases[] = {
    {"Core1", {.form = HeaderForm::Core, .bitCount = 1}, 2},
    {"Core4", {.form = HeaderForm::Core, .bitCount = 4}, 16},
    {"Core8", {.form = HeaderForm::Core, .bitCount = 8}, 256},
    {"Core24", {.form = HeaderForm::Core, .bitCount = 24}, 0},
    {"Info8", {.bitCount = 8}, 256},
    {"Info16", {.bitCount = 16}, 0},
    {"Info32", {.bitCount = 32}, 0},
    {"Info8Used16", {.bitCount = 8, .colorsUsed = 16}, 16},
    {"Info24Used7", {.bitCount = 24, .colorsUsed = 7}, 7},
    {"Info8UsedLow16Bits", {.bitCount = 8, .colorsUsed = 0x10005}, 5},
    {"Size108ReadAsInfo", {.headerSize = 108, .bitCount = 4}, 16},
};
// clang-format on

class ColorCountTest : public ::testing::TestWithParam<ColorCountCase> {};

TEST_P(ColorCountTest, CountsEntries) {
    BmpFile header = GetParam().header;
    header.fileHeader = false;
    EXPECT_EQ(DibColorCount(BuildBmp(header).data()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Headers, ColorCountTest, ::testing::ValuesIn(kColorCountCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OffsetCase {
    const char* name;
    BmpFile file;
    size_t pixelOffset;
};

void PrintTo(const OffsetCase& row, std::ostream* out) { *out << row.name; }

// clang-format off
const OffsetCase kOffsetCases[] = {
    {"Info8Used0Bare", {.fileHeader = false, .bitCount = 8, .colorTable = TestColorTable(256),
                        .pixels = Bytes(4)}, 40 + 256 * 4},
    {"Info8Used16Bare", {.fileHeader = false, .bitCount = 8, .colorsUsed = 16,
                         .colorTable = TestColorTable(16), .pixels = Bytes(4)}, 104},
    {"Core1Bare", {.fileHeader = false, .form = HeaderForm::Core, .bitCount = 1,
                   .colorTable = TestColorTable(2), .pixels = Bytes(4)}, 18},
    {"Info24Bare", {.fileHeader = false, .pixels = Bytes(4)}, 40},
    {"Core24Bare", {.fileHeader = false, .form = HeaderForm::Core, .pixels = Bytes(4)}, 12},
    {"Info8GapWithFileHeader", {.bitCount = 8, .colorTable = TestColorTable(256), .gap = 10,
                                .pixels = Bytes(4)}, 14 + 40 + 1024 + 10},
    // bfOffBits may even point back into the headers; reads stay in the data.
    {"OffBitsIntoHeader", {.offBits = 2, .pixels = Bytes(4)}, 2},
};
// clang-format on

class PixelOffsetTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(PixelOffsetTest, FindsThePixels) {
    const Bytes file = BuildBmp(GetParam().file);
    DibLayout layout{};

    ASSERT_EQ(ReadDibLayout(file.data(), file.size(), &layout), DibStatus::Loaded);
    EXPECT_EQ(size_t(layout.pixelData - file.data()), GetParam().pixelOffset);
    EXPECT_EQ(layout.pixelDataBytes, file.size() - GetParam().pixelOffset);
}

INSTANTIATE_TEST_SUITE_P(Files, PixelOffsetTest, ::testing::ValuesIn(kOffsetCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
