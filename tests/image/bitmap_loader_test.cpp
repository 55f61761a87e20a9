// The loader on real files: each failure's message at its moment (none with popups off), all freed.
#include "bitmap_loader.h"
#include "image_memory.h"
#include "test_files.h"
#include "test_seam.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

enum Path { File, Missing, Null, Folder, Fifo, Sparse };

struct LoaderCase {
    const char* name;
    Bytes contents;
    const char* message;  // "" for none; %s stands for the path
    std::string calls;    // the platform calls made, in order
    Path path = File;
    int failingAllocation = 0;
};

const std::string kMapped = "CreateFileA GetFileSize CreateFileMappingA MapViewOfFile ";
const std::string kRefused = kMapped + "MessageBoxA UnmapViewOfFile CloseHandle CloseHandle";
const char kCantOpen[] = "Failed to open DIB file %s.\n";

// clang-format off
const LoaderCase kLoaderCases[] = {
    {"Loads", ExampleBmp(), "", kMapped + "UnmapViewOfFile CloseHandle CloseHandle"},
    // What cannot be opened is refused silently, as a missing file: the existence test.
    {"Missing", {}, "", "CreateFileA", Missing},
    {"Fifo", {}, "", "CreateFileA", Fifo},
    {"Null", {}, "", "", Null},
    // Not to be mapped or viewed: the message after the release.
    {"Empty", {}, kCantOpen, "CreateFileA GetFileSize CreateFileMappingA CloseHandle MessageBoxA"},
    // Refused by its size alone (were it mapped, the mapping fails rather than read 2 GiB).
    {"Sparse2GiB", {}, "Bitmap is too large.", "CreateFileA GetFileSize MessageBoxA CloseHandle",
     Sparse},
    // Refused by the decoder: the message before the release.
    {"HeaderSize108", BuildBmp({.headerSize = 108}), "Unknown DIB file format.", kRefused},
    {"BitCount2", BuildBmp({.bitCount = 2}), "Image file conversion error.", kRefused},
    {"RowMissing", BuildBmp({.height = 2}), "Bitmap file is truncated.", kRefused},
    {"ZeroWidth", BuildBmp({.width = 0}), "Bitmap width or height is zero.", kRefused},
    {"NoRecord", ExampleBmp(), "Out of memory.", kRefused, File, 2},
};
// clang-format on

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct BitmapLoaderTest : ::testing::Test {
    // A fresh record of calls and boxes, with no failure due.
    void Record(bool popups) {
        kv17::seam::Reset();
        kv17::seam::AnswerMessageBoxes({});
        kv17::seam::RecordCalls();
        kv17::image_test::FailAllocation(0);
        errorPopups = popups;
    }
    void TearDown() override { Record(true); }

    // The calls recorded, a message box in its place as "caption|text|flags".
    static std::string Calls() {
        std::string calls;
        for (const std::string& call : kv17::seam::RecordedCalls()) calls += " " + call;
        for (const auto& box : kv17::seam::MessageBoxesShown())
            calls = Replace(calls, "MessageBoxA",
                            box.caption + "|" + box.text + "|" + std::to_string(box.flags));
        return calls.erase(0, 1);
    }
    TempDirectory temp;
};

TEST_F(BitmapLoaderTest, GivesEachFileItsResultMessageAndCallsAndAShrunkFileReadsWhole) {
    alarm(30);  // a FIFO opened as a file waits for a writer: die instead
    for (const LoaderCase& row : kLoaderCases) {
        const std::string path = temp.PathOf(row.name);
        if (row.path == File || row.path == Sparse) temp.Write(row.name, row.contents);
        if (row.path == Sparse) std::filesystem::resize_file(path, (uintmax_t{2} << 30) + 1);
        if (row.path == Folder) std::filesystem::create_directory(path);
        if (row.path == Fifo) mkfifo(path.c_str(), 0600);
        for (bool popups : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (popups ? "" : " without popups"));
            Record(popups);
            if (row.path == Sparse) kv17::seam::FailCall("CreateFileMappingA");
            kv17::image_test::FailAllocation(row.failingAllocation);
            RgbImage* image = LoadBitmapFile(row.path == Null ? nullptr : path.c_str());
            EXPECT_EQ(TakePixels(image), std::string(row.name) == "Loads" ? kExampleRgb : Bytes{});
            const std::string box = "Error|" + Replace(row.message, "%s", path) + "|0";
            EXPECT_EQ(Calls(), popups ? Replace(row.calls, "MessageBoxA", box)
                                      : Replace(row.calls, " MessageBoxA", ""));
        }
    }
    alarm(0);
    // The message holds 229 characters of a path; a longer one keeps its end, the file's name.
    for (size_t length : {229, 230, 4000}) {
        Record(true);
        const std::string path = "/missing/" + std::string(length - 13, 'p') + ".bmp";
        EXPECT_EQ(LoadDibImage(path.c_str(), false), nullptr);
        const std::string shown = length <= 229 ? path : "..." + path.substr(length - 226);
        EXPECT_EQ(Calls(), "CreateFileA Error|Failed to open DIB file " + shown + ".\n|0");
    }
    // A view holds the file as mapped: cut short after that, it reads whole (mmap(2): SIGBUS).
    const std::string path = temp.Write("shrinks.bmp", ExampleBmp());
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    std::filesystem::resize_file(path, 0);
    const auto* view = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Bytes(view, view + ExampleBmp().size()), ExampleBmp());
    EXPECT_TRUE(UnmapViewOfFile(view) && CloseHandle(mapping) && CloseHandle(file));
}

}  // namespace

// The reason behind a null, for the line the demo writes on stderr.
struct ReasonCase {
    const char* name;
    Path path;
    Bytes contents;
    std::string reason;  // %s stands for the path
};
void PrintTo(const ReasonCase& row, std::ostream* out) { *out << row.name; }

class BitmapFailureReasonTest : public BitmapLoaderTest,
                                public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(BitmapFailureReasonTest, NamesTheCause) {
    const ReasonCase& row = GetParam();
    const std::string path = temp.PathOf("texture.bmp");
    if (row.path == File) temp.Write("texture.bmp", row.contents);
    if (row.path == Folder) std::filesystem::create_directory(path);
    Record(false);
    EXPECT_EQ(TakePixels(LoadBitmapFile(path.c_str())).empty(), !row.reason.empty());
    EXPECT_EQ(BitmapFailureReason(), Replace(row.reason, "%s", path));
}

INSTANTIATE_TEST_SUITE_P(
    Loader, BitmapFailureReasonTest,
    ::testing::Values(
        ReasonCase{"Loaded", File, ExampleBmp(), ""},
        ReasonCase{"Missing", Missing, {}, "No such file or directory"},
        ReasonCase{"Folder", Folder, {}, "Is a directory"},
        ReasonCase{"Empty", File, {}, "the file is empty"},
        ReasonCase{"RowMissing", File, BuildBmp({.height = 2}), "Bitmap file is truncated."},
        ReasonCase{"Header124", File, BuildBmp({.headerSize = 124}),
                   "Unknown DIB file format. Its header is a newer kind, which the demo refuses "
                   "by design; convert it with: kv17-make-texture --from %s"}),
    [](const auto& info) { return std::string(info.param.name); });
