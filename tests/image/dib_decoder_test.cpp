// Exact bytes out of the decoder for every pixel form it converts, in both
// header forms, with and without the file header.
#include "decode_helpers.h"

#include <string>
#include <tuple>

namespace {

struct PixelCase {
    const char* name;
    uint16_t bitCount;
    int colors;  // colour-table entries (the count the bit count implies)
    int32_t width;
    int32_t height;
    Bytes pixels;  // file rows, bottom row first, padded to 4 bytes
    Bytes expected;
};

void PrintTo(const PixelCase& row, std::ostream* out) { *out << row.name; }

// Junk in the bits past the last pixel and in the row padding must not show.
// 16 bits: red, green, blue 5 bits each from bit 14 down, bit 15 ignored,
// widened by repeating the top bits (16 -> 0x84, 1 -> 0x08, 10 -> 0x52).
// clang-format off
const PixelCase kPixelCases[] = {
    {"OneBit", 1, 2, 10, 2, {0xB2, 0x7F, 0xFF, 0xFF, 0x4D, 0x80, 0x00, 0x00},
     TestColors({1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0})},
    {"FourBit", 4, 16, 3, 2, {0x12, 0x3F, 0xFF, 0xFF, 0xF0, 0xA9, 0x00, 0x00},
     TestColors({1, 2, 3, 15, 0, 10})},
    {"EightBit", 8, 256, 3, 2, {0x00, 0x7F, 0xFF, 0xEE, 0x80, 0x01, 0x02, 0x00},
     TestColors({0, 127, 255, 128, 1, 2})},
    {"SixteenBit", 16, 0, 3, 2,
     {0x00, 0x7C, 0xE0, 0x83, 0x10, 0x00, 0xFF, 0xFF, 0x21, 0x04, 0xFF, 0x7F, 0x4A, 0x29, 0, 0},
     {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x84,
      0x08, 0x08, 0x08, 0xFF, 0xFF, 0xFF, 0x52, 0x52, 0x52}},
    // The worked example; then the row sizes: width 1 reads 4 bytes a row,
    // width 3 reads 12, width 4 reads 12.
    {"TwentyFourBit", 24, 0, 2, 2,
     {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0, 0},
     {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A}},
    {"TwentyFourBitWidth1", 24, 0, 1, 2, {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0xFF},
     {0x03, 0x02, 0x01, 0x06, 0x05, 0x04}},
    {"TwentyFourBitWidth3", 24, 0, 3, 1,
     {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xFF, 0xFF, 0xFF},
     {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07}},
    {"TwentyFourBitWidth4", 24, 0, 4, 1,
     {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C},
     {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A}},
    {"ThirtyTwoBit", 32, 0, 2, 2,
     {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0x00, 0x07, 0x08, 0x09, 0x10, 0x0A, 0x0B, 0x0C, 0x20},
     {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A}},
};
// clang-format on

struct HeaderVariant {
    const char* name;
    HeaderForm form;
    bool fileHeader;
};

void PrintTo(const HeaderVariant& row, std::ostream* out) { *out << row.name; }

const HeaderVariant kHeaderVariants[] = {{"InfoWithFileHeader", HeaderForm::Info, true},
                                         {"InfoBare", HeaderForm::Info, false},
                                         {"CoreWithFileHeader", HeaderForm::Core, true},
                                         {"CoreBare", HeaderForm::Core, false}};

class PixelFormTest : public ::testing::TestWithParam<std::tuple<PixelCase, HeaderVariant>> {};

TEST_P(PixelFormTest, GivesExactBytes) {
    const auto& [pixelCase, variant] = GetParam();
    const Decoded decoded = Decode(BuildBmp({.fileHeader = variant.fileHeader,
                                             .form = variant.form,
                                             .width = pixelCase.width,
                                             .height = pixelCase.height,
                                             .bitCount = pixelCase.bitCount,
                                             .colorTable = TestColorTable(pixelCase.colors),
                                             .pixels = pixelCase.pixels}));

    ASSERT_EQ(decoded.status, DibStatus::Loaded);
    EXPECT_EQ(decoded.width, pixelCase.width);
    EXPECT_EQ(decoded.height, pixelCase.height);
    EXPECT_EQ(decoded.pixels, pixelCase.expected);
}

INSTANTIATE_TEST_SUITE_P(AllForms, PixelFormTest,
                         ::testing::Combine(::testing::ValuesIn(kPixelCases),
                                            ::testing::ValuesIn(kHeaderVariants)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

// Files that load, each with the bytes it must give.
struct LoadCase {
    const char* name;
    BmpFile file;
    Bytes expected;
};

void PrintTo(const LoadCase& row, std::ostream* out) { *out << row.name; }

const Bytes kExampleRows = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00,
                            0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x00, 0x00};
const Bytes kExampleOut = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A};

// clang-format off
const LoadCase kLoadCases[] = {
    // The image size field is never needed: 0, exact or nonsense alike.
    {"SizeImageZero", {.width = 2, .height = 2, .sizeImage = 0, .pixels = kExampleRows}, kExampleOut},
    {"SizeImageStated", {.width = 2, .height = 2, .sizeImage = 16, .pixels = kExampleRows}, kExampleOut},
    {"SizeImageNonsense", {.width = 2, .height = 2, .sizeImage = 0xFFFFFFFF, .pixels = kExampleRows},
     kExampleOut},
    // bfOffBits past the colour table: the gap is skipped.
    {"OffBitsGap", {.width = 3, .bitCount = 8, .colorTable = TestColorTable(256), .gap = 37,
                    .pixels = {5, 6, 7, 0}},
     TestColors({5, 6, 7})},
    // Top-down rows come out bottom row first, with a positive height.
    {"TopDown24", {.width = 2, .height = -2, .pixels = {0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0, 0,
                                                        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0}},
     kExampleOut},
    {"TopDown8", {.width = 1, .height = -3, .bitCount = 8, .colorTable = TestColorTable(256),
                  .pixels = {5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0}},
     TestColors({7, 6, 5})},
    // Indices past the colour table present are black.
    {"ColorsUsedSmaller", {.width = 4, .bitCount = 8, .colorsUsed = 2, .colorTable = TestColorTable(2),
                           .pixels = {0, 1, 2, 255}},
     TestColors({0, 1, -1, -1})},
    {"ColorsUsedOneOfTwo", {.width = 2, .bitCount = 1, .colorsUsed = 1, .colorTable = TestColorTable(1),
                            .pixels = {0x40, 0, 0, 0}},
     TestColors({0, -1})},
    // More colours than 8 bits index: the extra entries are skipped, never used.
    {"ColorsUsedLarger", {.fileHeader = false, .width = 3, .bitCount = 8, .colorsUsed = 300,
                          .colorTable = TestColorTable(300), .pixels = {0, 255, 1, 0}},
     TestColors({0, 255, 1})},
    // Only the low 16 bits of colours used count: 0x10000 means no table.
    {"ColorsUsedBeyond16Bits", {.fileHeader = false, .width = 2, .bitCount = 4, .colorsUsed = 0x10000,
                                .pixels = {0x12, 0, 0, 0}},
     TestColors({-1, -1})},
    // A table in front of direct colours is skipped.
    {"TableBeforeDirectColors", {.fileHeader = false, .colorsUsed = 2, .colorTable = TestColorTable(2),
                                 .pixels = {1, 2, 3, 0}},
     {3, 2, 1}},
    // The largest sides still load.
    {"Width32768", {.width = 32768, .pixels = Bytes(32768 * 3, 0x40)}, Bytes(32768 * 3, 0x40)},
    {"Height32768", {.height = -32768, .pixels = Bytes(32768 * 4, 0x40)}, Bytes(32768 * 3, 0x40)},
};
// clang-format on

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, GivesExactBytes) {
    const Decoded decoded = Decode(BuildBmp(GetParam().file));

    ASSERT_EQ(decoded.status, DibStatus::Loaded);
    EXPECT_EQ(decoded.height, std::abs(GetParam().file.height));
    EXPECT_EQ(decoded.pixels, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
