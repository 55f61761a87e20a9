// The decoder: each form's exact pixels, with and without the file header; each refusal's reason.
#include "image_memory.h"
#include "test_files.h"

#include <cstdlib>
#include <string>

namespace {

using enum DibStatus;

struct DecodeCase {
    const char* name;
    BmpFile file;
    DibStatus status;
    Bytes rgb{};  // bottom row first
};

// Junk past a row's last pixel and in its padding must not show; pixels a run skips are black.
// An unknown header size, 2 bits, zero width, no room for the record: in the loader's table.
// clang-format off
const DecodeCase kCases[] = {
    {"Info24", {.width = 2, .height = 2, .pixels = kExampleRows}, Loaded, kExampleRgb},
    // Top-down rows come out bottom row first, with a positive height.
    {"Info24TopDown", {.width = 2, .height = -2, .pixels = {7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4,
     5, 6, 0, 0}}, Loaded, kExampleRgb},
    {"Core1", {.core = true, .width = 10, .bitCount = 1, .colors = 2, .pixels = {0xB2, 0x7F, 0xFF,
     0xFF}}, Loaded, TestColors({1, 0, 1, 1, 0, 0, 1, 0, 0, 1})},
    {"Info4", {.width = 3, .height = 2, .bitCount = 4, .colors = 16, .pixels = {0x12, 0x3F, 0xFF,
     0xFF, 0xF0, 0xA9, 0, 0}}, Loaded, TestColors({1, 2, 3, 15, 0, 10})},
    // 16 colours used, an index past them black; bfOffBits skips a gap.
    {"Info8Used16", {.width = 3, .bitCount = 8, .colorsUsed = 16, .colors = 16, .gap = 37,
     .pixels = {15, 0, 200, 0}}, Loaded, TestColors({15, 0, -1})},
    // Red, green, blue in 5 bits from bit 14 down, bit 15 ignored; 31 -> FF, 16 -> 84.
    {"Info16", {.width = 3, .bitCount = 16, .pixels = {0x00, 0x7C, 0xE0, 0x83, 0x10, 0x00, 0xFF,
     0xFF}}, Loaded, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0x84}},
    {"Info32AfterTable", {.width = 2, .bitCount = 32, .colorsUsed = 2, .colors = 2, .pixels = {1, 2,
     3, 0xFF, 4, 5, 6, 0}}, Loaded, {3, 2, 1, 6, 5, 4}},
    // Rows cut at 4 pixels: 6 x 5, end of line | absolute 1 2 3 (padded), 3 x 7, end of line |
    // delta right 2, absolute 9 8 6 (padded), end of bitmap.
    {"Rle8", {.width = 4, .height = 3, .bitCount = 8, .compression = 1, .colors = 256, .pixels = {6,
     5, 0, 0, 0, 3, 1, 2, 3, 0, 3, 7, 0, 0, 0, 2, 2, 0, 0, 3, 9, 8, 6, 0, 0, 1}}, Loaded,
     TestColors({5, 5, 5, 5, 1, 2, 3, 7, -1, -1, 9, 8})},
    // High nibble first; the last end of line leaves the picture.
    {"Rle4", {.width = 5, .height = 2, .bitCount = 4, .compression = 2, .colors = 16, .pixels = {5,
     0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0}}, Loaded,
     TestColors({1, 2, 1, 2, 1, 3, 4, 5, 6, 7})},
    {"BitFields", {.bitCount = 16, .compression = 3, .pixels = Bytes(16)}, Unsupported},
    {"Rle8With4Bits", {.bitCount = 4, .compression = 1, .colors = 16, .pixels = {0, 1}},
     Unsupported},
    {"Rle8TopDown", {.height = -1, .bitCount = 8, .compression = 1, .colors = 256,
     .pixels = {0, 1}}, Unsupported},
    {"Planes2", {.planes = 2, .pixels = Bytes(4)}, Unsupported},
    {"NegativeWidth", {.width = -1, .pixels = Bytes(4)}, Unsupported},
    {"ZeroHeight", {.height = 0}, NoPixels}, {"Width32769", {.width = 32769}, TooLarge},
    {"TopDownHeight32769", {.height = -32769}, TooLarge},
    {"HeightMinimum", {.height = INT32_MIN}, TooLarge},
    {"BufferOver1GiB", {.width = 20000, .height = 20000}, TooLarge},
    {"Width32768RowMissing", {.width = 32768}, Truncated},
    {"NoPixelBuffer", {.pixels = Bytes(4)}, OutOfMemory},  // the first allocation fails
};
// clang-format on

TEST(DibDecoderTest, DecodesEachFileExactlyOrRejectsItWithItsReason) {
    for (const DecodeCase& row : kCases) {
        for (bool fileHeader : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (fileHeader ? "" : " without the file header"));
            kv17::image_test::FailAllocation(row.status == OutOfMemory);
            const Bytes file = BuildBmp(row.file, fileHeader);
            const bool loaded = row.status == Loaded;
            EXPECT_EQ(Decode(file), Decoded(row.status, loaded ? row.file.width : 0,
                                            loaded ? std::abs(row.file.height) : 0, row.rgb));
            // No shorter prefix of a file that loads is anything but truncated.
            for (size_t length = 0; loaded && length < file.size(); ++length)
                EXPECT_EQ(std::get<DibStatus>(Decode(file, length)), Truncated) << length;
        }
    }
    kv17::image_test::FailAllocation(0);
}

}  // namespace
