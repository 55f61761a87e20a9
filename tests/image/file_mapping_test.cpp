// The platform's read-only file mapping, as the loader uses it and as
// Win32 answers the requests it does not support.
#include "temp_files.h"
#include "test_seam.h"
#include "win32_api.h"

#include <cstring>
#include <string>

namespace {

constexpr DWORD kGenericWrite = 0x40000000;
constexpr DWORD kCreateAlways = 2;
constexpr DWORD kPageReadWrite = 0x04;
constexpr DWORD kFileMapWrite = 0x0002;

HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

class FileMappingTest : public ::testing::Test {
protected:
    void SetUp() override { kv17::seam::Reset(); }
    void TearDown() override { kv17::seam::Reset(); }

    TempDirectory temp;
    const std::vector<uint8_t> contents = {'k', 'v', '1', '7', 0, 1, 2, 3, 0xFF};
};

TEST_F(FileMappingTest, MapsWholeFileBeyondItsHandles) {
    const HANDLE file = OpenForReading(temp.Write("file", contents));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 123;
    EXPECT_EQ(GetFileSize(file, &high), contents.size());
    EXPECT_EQ(high, 0u);
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);

    // As on Win32, the view stays readable after both handles are closed.
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(std::memcmp(view, contents.data(), contents.size()), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(FileMappingTest, MapsAPrefix) {
    const HANDLE file = OpenForReading(temp.Write("file", contents));
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 4, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, "kv17", 4), 0);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 5), nullptr);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FileMappingTest, OpensWideNames) {
    temp.Write("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", contents);  // U+00E4 U+20AC U+1F600
    const std::wstring path =
        std::filesystem::path(temp.PathOf("")).wstring() + L"\u00E4\u20AC\U0001F600";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), contents.size());
    CloseHandle(file);
}

TEST_F(FileMappingTest, RefusesWhatCannotBeOpenedForReading) {
    const std::string file = temp.Write("file", contents);
    const auto open = [](const std::string& path, DWORD access, DWORD creation) {
        return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, 0, nullptr);
    };
    EXPECT_EQ(open(temp.PathOf("missing"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(temp.PathOf(""), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(file, GENERIC_READ | kGenericWrite, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open(file, GENERIC_READ, kCreateAlways), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(FileMappingTest, RefusesMappingsItCannotMake) {
    const HANDLE empty = OpenForReading(temp.Write("empty", {}));
    const HANDLE file = OpenForReading(temp.Write("file", contents));
    ASSERT_NE(empty, INVALID_HANDLE_VALUE);

    EXPECT_EQ(GetFileSize(empty, nullptr), 0u);
    EXPECT_EQ(CreateFileMappingA(empty, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, kPageReadWrite, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 10, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 1, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr),
              nullptr);

    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, kFileMapWrite, 0, 0, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);  // not a mapping
    EXPECT_EQ(GetFileSize(mapping, nullptr), INVALID_FILE_SIZE);      // not a file
    CloseHandle(mapping);
    CloseHandle(file);
    CloseHandle(empty);
}

TEST_F(FileMappingTest, ReleasesEachObjectOnce) {
    const HANDLE file = OpenForReading(temp.Write("file", contents));
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);

    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(contents.data()));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_FALSE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CloseHandle(nullptr));
}

// An injected failure hits the chosen call once and returns what Win32
// returns on failure; the next call works again.
TEST_F(FileMappingTest, InjectedFailuresReturnWin32FailureValues) {
    const std::string path = temp.Write("file", contents);

    kv17::seam::FailCall("CreateFileA");
    EXPECT_EQ(OpenForReading(path), INVALID_HANDLE_VALUE);
    const HANDLE file = OpenForReading(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    kv17::seam::FailCall("GetFileSize");
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    kv17::seam::FailCall("CreateFileMappingA");
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    kv17::seam::FailCall("MapViewOfFile");
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0), nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    kv17::seam::FailCall("UnmapViewOfFile");
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_TRUE(UnmapViewOfFile(view));
    kv17::seam::FailCall("CloseHandle");
    EXPECT_FALSE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));

    kv17::seam::FailCall("CreateFileW");
    EXPECT_EQ(CreateFileW(L"x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

}  // namespace
