// Damaged and hostile files: each is rejected with its reason, reads nothing
// beyond the data and leaves nothing allocated.
#include "decode_helpers.h"
#include "image_memory.h"

#include <string>

namespace {

struct RejectCase {
    const char* name;
    BmpFile file;
    DibStatus expected;
};

void PrintTo(const RejectCase& row, std::ostream* out) { *out << row.name; }

// clang-format off
const RejectCase kRejectCases[] = {
    // Later header versions and nonsense sizes, even in files too short for them.
    {"HeaderSize108", {.headerSize = 108, .pixels = Bytes(80)}, DibStatus::UnknownFormat},
    {"HeaderSize0", {.headerSize = 0}, DibStatus::UnknownFormat},
    {"HeaderSizeMax", {.fileHeader = false, .headerSize = 0xFFFFFFFF}, DibStatus::UnknownFormat},
    // Bit counts, compressions and planes outside what converts.
    {"BitCount0", {.bitCount = 0, .pixels = Bytes(4)}, DibStatus::Unsupported},
    {"BitCount2", {.bitCount = 2, .pixels = Bytes(4)}, DibStatus::Unsupported},
    {"CoreBitCount48", {.form = HeaderForm::Core, .bitCount = 48, .pixels = Bytes(8)},
     DibStatus::Unsupported},
    {"BitFields", {.bitCount = 16, .compression = 3, .pixels = Bytes(16)}, DibStatus::Unsupported},
    {"Png", {.compression = 5, .pixels = Bytes(4)}, DibStatus::Unsupported},
    {"Rle8With4Bits", {.bitCount = 4, .compression = 1, .pixels = {0, 1}}, DibStatus::Unsupported},
    {"Rle4With8Bits", {.bitCount = 8, .compression = 2, .pixels = {0, 1}}, DibStatus::Unsupported},
    {"Planes2", {.planes = 2, .pixels = Bytes(4)}, DibStatus::Unsupported},
    {"NegativeWidth", {.width = -2, .pixels = Bytes(8)}, DibStatus::Unsupported},
    {"TopDownRle8", {.height = -1, .bitCount = 8, .compression = 1, .pixels = {0, 1}},
     DibStatus::Unsupported},
    // Empty pictures.
    {"ZeroWidth", {.width = 0}, DibStatus::NoPixels},
    {"ZeroHeight", {.height = 0}, DibStatus::NoPixels},
    {"CoreZeroHeight", {.form = HeaderForm::Core, .height = 0}, DibStatus::NoPixels},
    // Huge dimensions in a tiny file.
    {"WidthOver32768", {.width = 32769}, DibStatus::TooLarge},
    {"TopDownHeightOver32768", {.height = -32769}, DibStatus::TooLarge},
    {"HeightMinimum", {.height = INT32_MIN}, DibStatus::TooLarge},
    {"WidthMaximum", {.width = INT32_MAX}, DibStatus::TooLarge},
    {"BufferOver1GiB", {.width = 20000, .height = 20000}, DibStatus::TooLarge},
    {"CoreMaximum", {.form = HeaderForm::Core, .width = 65535, .height = 65535}, DibStatus::TooLarge},
    {"Rle8Over1GiB", {.width = 30000, .height = 30000, .bitCount = 8, .compression = 1,
                      .pixels = {0, 1}}, DibStatus::TooLarge},
    {"Rows16384In54Bytes", {.width = 16384, .height = 16384}, DibStatus::Truncated},
    // Data that end before the headers say.
    {"OffBitsPastEnd", {.offBits = 1000, .pixels = Bytes(4)}, DibStatus::Truncated},
    {"RleStreamEmpty", {.bitCount = 8, .compression = 1, .colorTable = TestColorTable(256)},
     DibStatus::Truncated},
    {"ColorTableShort", {.bitCount = 8, .colorTable = TestColorTable(255)}, DibStatus::Truncated},
    {"ColorTableShortOffBitsInside", {.bitCount = 8, .colorTable = TestColorTable(10), .offBits = 54},
     DibStatus::Truncated},
    {"ColorsUsedBeyondData", {.fileHeader = false, .bitCount = 8, .colorsUsed = 5000},
     DibStatus::Truncated},
    {"LastRowPaddingMissing", {.width = 2, .height = 2, .pixels = Bytes(14)}, DibStatus::Truncated},
};
// clang-format on

class RejectTest : public ::testing::TestWithParam<RejectCase> {
protected:
    // An allocation attempt would turn the result into OutOfMemory: every
    // rejection must come before anything is allocated.
    void SetUp() override { kv17::image_test::FailAllocation(1); }
    void TearDown() override { kv17::image_test::FailAllocation(0); }
};

TEST_P(RejectTest, RejectsBeforeAllocating) {
    EXPECT_EQ(Decode(BuildBmp(GetParam().file)).status, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, RejectTest, ::testing::ValuesIn(kRejectCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Valid files cut at every length: each prefix, the empty one too, is
// rejected as truncated and none is read beyond its end.
// clang-format off
const std::pair<const char*, BmpFile> kTruncationCases[] = {
    {"Info24WithFileHeader", {.width = 2, .height = 2, .pixels = Bytes(16, 0x11)}},
    {"Info8Bare", {.fileHeader = false, .width = 3, .bitCount = 8, .colorsUsed = 4,
                   .colorTable = TestColorTable(4), .pixels = {0, 1, 2, 0}}},
    {"Core1WithFileHeader", {.form = HeaderForm::Core, .width = 9, .height = 2, .bitCount = 1,
                             .colorTable = TestColorTable(2), .pixels = Bytes(8, 0x5A)}},
    // The streams end with end-of-bitmap while still inside the last row.
    {"Rle8", {.width = 4, .height = 2, .bitCount = 8, .compression = 1, .colorsUsed = 8,
              .colorTable = TestColorTable(8), .pixels = {4, 1, 0, 0, 0, 3, 5, 6, 7, 0, 0, 1}}},
    {"Rle4", {.width = 5, .height = 2, .bitCount = 4, .compression = 2, .colorTable = TestColorTable(16),
              .pixels = {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1}}},
};
// clang-format on

class TruncationTest : public ::testing::TestWithParam<std::pair<const char*, BmpFile>> {};

TEST_P(TruncationTest, EveryPrefixIsTruncated) {
    const Bytes file = BuildBmp(GetParam().second);
    ASSERT_EQ(Decode(file).status, DibStatus::Loaded);
    for (size_t length = 0; length < file.size(); ++length) {
        EXPECT_EQ(Decode(file, length).status, DibStatus::Truncated) << "length " << length;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TruncationTest, ::testing::ValuesIn(kTruncationCases),
                         [](const auto& info) { return std::string(info.param.first); });

// The pixel buffer, then the record, cannot be had. The buffer of the second
// case must be freed, which the sanitizer build's leak checker holds us to.
class OutOfMemoryTest : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override { kv17::image_test::FailAllocation(0); }
};

TEST_P(OutOfMemoryTest, FailsWithNothingAllocated) {
    const Bytes uncompressed = BuildBmp({.pixels = Bytes(4)});
    const Bytes runLength = BuildBmp(
        {.bitCount = 8, .compression = 1, .colorTable = TestColorTable(256), .pixels = {0, 1}});

    kv17::image_test::FailAllocation(GetParam());
    EXPECT_EQ(Decode(uncompressed).status, DibStatus::OutOfMemory);
    kv17::image_test::FailAllocation(GetParam());
    EXPECT_EQ(Decode(runLength).status, DibStatus::OutOfMemory);
}

INSTANTIATE_TEST_SUITE_P(PixelsThenRecord, OutOfMemoryTest, ::testing::Values(1, 2));

}  // namespace
