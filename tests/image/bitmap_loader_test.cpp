// The loader end to end on real files: the platform's file mapping, one
// message per failure at the right moment, and everything released.
#include "bitmap_loader.h"
#include "bmp_builder.h"
#include "image_memory.h"
#include "temp_files.h"
#include "test_seam.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using Calls = std::vector<std::string>;

const Bytes kExample = BuildBmp({.width = 2,
                                 .height = 2,
                                 .pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00, 0x07,
                                            0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x00, 0x00}});
const Bytes kExampleOut = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A};

// The file, mapping and message calls, in the order they were made.
Calls FileCalls() {
    static const char* const kept[] = {"CreateFileA",        "CreateFileW",   "GetFileSize",
                                       "CreateFileMappingA", "MapViewOfFile", "UnmapViewOfFile",
                                       "CloseHandle",        "MessageBoxA"};
    Calls calls;
    for (const std::string& call : kv17::seam::RecordedCalls()) {
        if (std::find(std::begin(kept), std::end(kept), call) != std::end(kept)) {
            calls.push_back(call);
        }
    }
    return calls;
}

// Checks the image and frees it as the scene does.
void ExpectExampleAndFree(RgbImage* image) {
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(Bytes(image->pixels, image->pixels + 12), kExampleOut);
    std::free(image->pixels);
    std::free(image);
}

class BitmapLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv17::seam::Reset();
        kv17::seam::AnswerMessageBoxes({});
        kv17::seam::RecordCalls();
    }
    void TearDown() override {
        kv17::seam::Reset();
        kv17::image_test::FailAllocation(0);
        errorPopups = true;
    }

    // The one message box shown, with the loader's caption and flags.
    static std::string OnlyMessage() {
        const auto& boxes = kv17::seam::MessageBoxesShown();
        if (boxes.size() != 1) return std::to_string(boxes.size()) + " message boxes";
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].flags, unsigned{MB_OK});
        return boxes[0].text;
    }

    TempDirectory temp;
};

TEST_F(BitmapLoaderTest, LoadsFileAndReleasesEverything) {
    ExpectExampleAndFree(LoadBitmapFile(temp.Write("texture.bmp", kExample).c_str()));
    EXPECT_EQ(FileCalls(),
              (Calls{"CreateFileA", "GetFileSize", "CreateFileMappingA", "MapViewOfFile",
                     "UnmapViewOfFile", "CloseHandle", "CloseHandle"}));
}

TEST_F(BitmapLoaderTest, NullOrMissingPathGivesNullSilently) {
    EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
    EXPECT_EQ(LoadBitmapFile(temp.PathOf("missing.bmp").c_str()), nullptr);
    EXPECT_TRUE(FileCalls().empty());
}

// A path that passes the existence test but cannot be mapped, or a platform
// step that fails: what was acquired is released, then the message.
struct OpenFailure {
    const char* name;
    std::optional<Bytes> contents;  // none: the path is a directory
    const char* failingCall;        // none: the file itself is the problem
    Calls calls;
};

void PrintTo(const OpenFailure& row, std::ostream* out) { *out << row.name; }

class OpenFailureTest : public BitmapLoaderTest,
                        public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, ReleasesThenReports) {
    const auto& contents = GetParam().contents;
    const std::string path = contents ? temp.Write("texture.bmp", *contents) : temp.PathOf("");
    if (GetParam().failingCall != nullptr) kv17::seam::FailCall(GetParam().failingCall);

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + path + ".\n");
    EXPECT_EQ(FileCalls(), GetParam().calls);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Steps, OpenFailureTest, ::testing::Values(
    OpenFailure{"EmptyFile", Bytes{}, nullptr, {"CreateFileA", "GetFileSize",
                "CreateFileMappingA", "CloseHandle", "MessageBoxA"}},
    OpenFailure{"Directory", std::nullopt, nullptr, {"CreateFileA", "MessageBoxA"}},
    OpenFailure{"CreateFileA", kExample, "CreateFileA", {"CreateFileA", "MessageBoxA"}},
    OpenFailure{"GetFileSize", kExample, "GetFileSize", {"CreateFileA", "GetFileSize",
                "CloseHandle", "MessageBoxA"}},
    OpenFailure{"CreateFileMappingA", kExample, "CreateFileMappingA", {"CreateFileA",
                "GetFileSize", "CreateFileMappingA", "CloseHandle", "MessageBoxA"}},
    OpenFailure{"MapViewOfFile", kExample, "MapViewOfFile", {"CreateFileA", "GetFileSize",
                "CreateFileMappingA", "MapViewOfFile", "CloseHandle", "CloseHandle",
                "MessageBoxA"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The file is mapped but does not decode: the message comes before the
// release, and no open-failure message follows.
struct DecodeFailure {
    const char* name;
    BmpFile file;
    int failingAllocation;  // 0: none
    const char* text;
};

void PrintTo(const DecodeFailure& row, std::ostream* out) { *out << row.name; }

// clang-format off
const DecodeFailure kDecodeFailures[] = {
    {"HeaderSize108", {.headerSize = 108, .pixels = Bytes(100)}, 0, "Unknown DIB file format."},
    {"BitFields", {.bitCount = 16, .compression = 3, .pixels = Bytes(16)}, 0,
     "Image file conversion error."},
    {"RowsMissing", {.width = 2, .height = 2, .pixels = Bytes(8)}, 0, "Bitmap file is truncated."},
    {"RunLengthCut", {.bitCount = 8, .compression = 1, .colorTable = TestColorTable(256),
                      .pixels = {0, 3, 1}}, 0, "Bitmap file is truncated."},
    {"ZeroWidth", {.width = 0}, 0, "Bitmap width or height is zero."},
    {"HugeInTinyFile", {.width = 32769, .height = 32769}, 0, "Bitmap is too large."},
    {"NoPixelBuffer", {.pixels = Bytes(4)}, 1, "Out of memory."},
    {"NoRecord", {.pixels = Bytes(4)}, 2, "Out of memory."},
};
// clang-format on

class DecodeFailureTest : public BitmapLoaderTest,
                          public ::testing::WithParamInterface<DecodeFailure> {};

TEST_P(DecodeFailureTest, ReportsThenReleases) {
    const std::string path = temp.Write("texture.bmp", BuildBmp(GetParam().file));
    kv17::image_test::FailAllocation(GetParam().failingAllocation);

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), GetParam().text);
    EXPECT_EQ(FileCalls(),
              (Calls{"CreateFileA", "GetFileSize", "CreateFileMappingA", "MapViewOfFile",
                     "MessageBoxA", "UnmapViewOfFile", "CloseHandle", "CloseHandle"}));
}

INSTANTIATE_TEST_SUITE_P(Files, DecodeFailureTest, ::testing::ValuesIn(kDecodeFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// Without popups every result is the same and no box is shown.
TEST_F(BitmapLoaderTest, ErrorPopupsOffChangesOnlyTheMessages) {
    errorPopups = false;
    const std::string empty = temp.Write("empty.bmp", {});
    const std::string unknown = temp.Write("unknown.bmp", BuildBmp(kDecodeFailures[0].file));
    const std::string good = temp.Write("texture.bmp", kExample);

    EXPECT_EQ(LoadBitmapFile(empty.c_str()), nullptr);
    EXPECT_EQ(LoadBitmapFile(unknown.c_str()), nullptr);
    kv17::image_test::FailAllocation(2);
    EXPECT_EQ(LoadBitmapFile(good.c_str()), nullptr);
    ExpectExampleAndFree(LoadBitmapFile(good.c_str()));
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());
}

// The message buffer holds 255 characters: "Failed to open DIB file " and
// ".\n" leave 229 for the path; a longer one keeps its end behind "...".
class LongPathTest : public BitmapLoaderTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(LongPathTest, MessageFitsTheBuffer) {
    const std::string path = "/missing/" + std::string(GetParam() - 13, 'p') + ".bmp";

    EXPECT_EQ(LoadDibImage(path.c_str(), false), nullptr);

    const std::string shown = path.size() <= 229 ? path : "..." + path.substr(path.size() - 226);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + shown + ".\n");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPathTest, ::testing::Values(229, 230, 4096));

// Wide names go through CreateFileW; a message shows what an ANSI
// conversion can of them.
TEST_F(BitmapLoaderTest, OpensWideNames) {
    temp.Write("bild-\xC3\xA4.bmp", kExample);
    const std::wstring dir = std::filesystem::path(temp.PathOf("")).wstring();
    const std::wstring found = dir + L"bild-\u00E4.bmp";
    const std::wstring missing = dir + L"fehlt-\u00E4.bmp";

    ExpectExampleAndFree(LoadDibImage(reinterpret_cast<const char*>(found.c_str()), true));
    EXPECT_EQ(LoadDibImage(reinterpret_cast<const char*>(missing.c_str()), true), nullptr);

    EXPECT_EQ(FileCalls().front(), "CreateFileW");
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + temp.PathOf("") + "fehlt-?.bmp.\n");
}

}  // namespace
