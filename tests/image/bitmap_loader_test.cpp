// The loader end to end on real files: the platform's file mapping, one
// message per failure at the right moment, and everything released.
#include "bitmap_loader.h"
#include "bmp_builder.h"
#include "image_memory.h"
#include "temp_files.h"
#include "test_seam.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using Calls = std::vector<std::string>;

const Bytes kWorkedExample = BuildBmp({.width = 2,
                                       .height = 2,
                                       .pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00,
                                                  0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x00, 0x00}});
const Bytes kWorkedExampleOut = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04,
                                 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A};

const Calls kLoadCalls = {"CreateFileA",     "GetFileSize", "CreateFileMappingA", "MapViewOfFile",
                          "UnmapViewOfFile", "CloseHandle", "CloseHandle"};
const Calls kDecodeFailureCalls = {"CreateFileA",   "GetFileSize", "CreateFileMappingA",
                                   "MapViewOfFile", "MessageBoxA", "UnmapViewOfFile",
                                   "CloseHandle",   "CloseHandle"};

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

Bytes PixelsOf(const RgbImage& image) {
    return Bytes(image.pixels, image.pixels + size_t(image.width) * image.height * 3);
}

void FreeImage(RgbImage* image) {
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

    // One message box at most, and only with the loader's caption and flags.
    std::string OnlyMessage() {
        const auto& boxes = kv17::seam::MessageBoxesShown();
        if (boxes.size() != 1) {
            ADD_FAILURE() << boxes.size() << " message boxes";
            return "";
        }
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].flags, unsigned{MB_OK});
        return boxes[0].text;
    }

    TempDirectory temp;
};

TEST_F(BitmapLoaderTest, LoadsFileAndReleasesEverything) {
    RgbImage* image = LoadBitmapFile(temp.Write("texture.bmp", kWorkedExample).c_str());

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(PixelsOf(*image), kWorkedExampleOut);
    EXPECT_EQ(FileCalls(), kLoadCalls);
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());
    FreeImage(image);
}

TEST_F(BitmapLoaderTest, NullPathGivesNullSilently) {
    EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
    EXPECT_TRUE(FileCalls().empty());
}

TEST_F(BitmapLoaderTest, MissingFileGivesNullSilently) {
    EXPECT_EQ(LoadBitmapFile(temp.PathOf("missing.bmp").c_str()), nullptr);
    EXPECT_TRUE(FileCalls().empty());
}

// An empty file passes the existence test, but cannot be mapped.
TEST_F(BitmapLoaderTest, EmptyFileCannotBeOpened) {
    const std::string path = temp.Write("empty.bmp", {});

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + path + ".\n");
    EXPECT_EQ(FileCalls(), (Calls{"CreateFileA", "GetFileSize", "CreateFileMappingA", "CloseHandle",
                                  "MessageBoxA"}));
}

// A directory passes the existence test too, but is no file.
TEST_F(BitmapLoaderTest, DirectoryCannotBeOpened) {
    const std::string path = temp.PathOf("");

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + path + ".\n");
    EXPECT_EQ(FileCalls(), (Calls{"CreateFileA", "MessageBoxA"}));
}

// A platform step fails: what was acquired is released, then the message.
struct OpenFailure {
    const char* failingCall;
    Calls calls;
};

void PrintTo(const OpenFailure& row, std::ostream* out) { *out << row.failingCall; }

class OpenFailureTest : public BitmapLoaderTest,
                        public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, ReleasesThenReports) {
    const std::string path = temp.Write("texture.bmp", kWorkedExample);
    kv17::seam::FailCall(GetParam().failingCall);

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + path + ".\n");
    EXPECT_EQ(FileCalls(), GetParam().calls);
}

TEST_P(OpenFailureTest, IsSilentWithoutPopups) {
    const std::string path = temp.Write("texture.bmp", kWorkedExample);
    kv17::seam::FailCall(GetParam().failingCall);
    errorPopups = false;

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    PlatformSteps, OpenFailureTest,
    ::testing::Values(OpenFailure{"CreateFileA", {"CreateFileA", "MessageBoxA"}},
                      OpenFailure{"GetFileSize",
                                  {"CreateFileA", "GetFileSize", "CloseHandle", "MessageBoxA"}},
                      OpenFailure{"CreateFileMappingA",
                                  {"CreateFileA", "GetFileSize", "CreateFileMappingA",
                                   "CloseHandle", "MessageBoxA"}},
                      OpenFailure{"MapViewOfFile",
                                  {"CreateFileA", "GetFileSize", "CreateFileMappingA",
                                   "MapViewOfFile", "CloseHandle", "CloseHandle", "MessageBoxA"}}),
    [](const auto& info) { return std::string(info.param.failingCall); });

// The file is mapped but does not decode: the message comes before the
// release, and no open-failure message follows.
struct DecodeFailure {
    const char* name;
    BmpFile file;
    int failingAllocation;  // 0: none
    const char* text;
};

void PrintTo(const DecodeFailure& row, std::ostream* out) { *out << row.name; }

const DecodeFailure kDecodeFailures[] = {
    {"HeaderSize108", {.headerSize = 108, .pixels = Bytes(100)}, 0, "Unknown DIB file format."},
    {"BitFields",
     {.bitCount = 16, .compression = 3, .pixels = Bytes(16)},
     0,
     "Image file conversion error."},
    {"Rle8With24Bits", {.compression = 1, .pixels = {0, 1}}, 0, "Image file conversion error."},
    {"RowsMissing", {.width = 2, .height = 2, .pixels = Bytes(8)}, 0, "Bitmap file is truncated."},
    {"RunLengthCut",
     {.bitCount = 8, .compression = 1, .colorTable = TestColorTable(256), .pixels = {0, 3, 1}},
     0,
     "Bitmap file is truncated."},
    {"ZeroWidth", {.width = 0}, 0, "Bitmap width or height is zero."},
    {"HugeInTinyFile", {.width = 32769, .height = 32769}, 0, "Bitmap is too large."},
    {"NoPixelBuffer", {.pixels = Bytes(4)}, 1, "Out of memory."},
    {"NoRecord", {.pixels = Bytes(4)}, 2, "Out of memory."},
};

class DecodeFailureTest : public BitmapLoaderTest,
                          public ::testing::WithParamInterface<DecodeFailure> {};

TEST_P(DecodeFailureTest, ReportsThenReleases) {
    const std::string path = temp.Write("texture.bmp", BuildBmp(GetParam().file));
    kv17::image_test::FailAllocation(GetParam().failingAllocation);

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_EQ(OnlyMessage(), GetParam().text);
    EXPECT_EQ(FileCalls(), kDecodeFailureCalls);
}

TEST_P(DecodeFailureTest, IsSilentWithoutPopups) {
    const std::string path = temp.Write("texture.bmp", BuildBmp(GetParam().file));
    kv17::image_test::FailAllocation(GetParam().failingAllocation);
    errorPopups = false;

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    EXPECT_TRUE(kv17::seam::MessageBoxesShown().empty());
}

INSTANTIATE_TEST_SUITE_P(Files, DecodeFailureTest, ::testing::ValuesIn(kDecodeFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BitmapLoaderTest, LoadsTheSameWithoutPopups) {
    errorPopups = false;
    RgbImage* image = LoadBitmapFile(temp.Write("texture.bmp", kWorkedExample).c_str());

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(*image), kWorkedExampleOut);
    FreeImage(image);
}

// The message buffer holds 255 characters: "Failed to open DIB file " and
// ".\n" leave 229 for the path; a longer one keeps its end behind "...".
class LongPathTest : public BitmapLoaderTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(LongPathTest, MessageFitsTheBuffer) {
    std::string path = "/missing/";
    path += std::string(GetParam() - path.size() - 4, 'p') + ".bmp";

    EXPECT_EQ(LoadDibImage(path.c_str(), false), nullptr);

    const std::string text = OnlyMessage();
    EXPECT_LE(text.size(), 255u);
    const std::string shown = path.size() <= 229 ? path : "..." + path.substr(path.size() - 226);
    EXPECT_EQ(text, "Failed to open DIB file " + shown + ".\n");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPathTest, ::testing::Values(229, 230, 231, 4096, 10000));

// Wide names: opened through CreateFileW; the message shows what an ANSI
// conversion can.
TEST_F(BitmapLoaderTest, LoadsThroughWideName) {
    temp.Write("bild-\xC3\xA4.bmp", kWorkedExample);
    const std::wstring dir = std::filesystem::path(temp.PathOf("")).wstring();
    const std::wstring path = dir + L"bild-\u00E4.bmp";

    RgbImage* image = LoadDibImage(reinterpret_cast<const char*>(path.c_str()), true);

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(*image), kWorkedExampleOut);
    EXPECT_EQ(FileCalls().front(), "CreateFileW");
    FreeImage(image);
}

TEST_F(BitmapLoaderTest, ReportsMissingWideName) {
    const std::wstring dir = std::filesystem::path(temp.PathOf("")).wstring();
    const std::wstring path = dir + L"fehlt-\u00E4.bmp";

    EXPECT_EQ(LoadDibImage(reinterpret_cast<const char*>(path.c_str()), true), nullptr);
    EXPECT_EQ(OnlyMessage(), "Failed to open DIB file " + temp.PathOf("") + "fehlt-?.bmp.\n");
}

}  // namespace
