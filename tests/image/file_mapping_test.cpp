// The platform's read-only file mapping: what the loader relies on, and the
// requests it refuses as Win32 refuses them.
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

HANDLE Open(const std::string& path, DWORD access = GENERIC_READ, DWORD creation = OPEN_EXISTING) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, 0, nullptr);
}

class FileMappingTest : public ::testing::Test {
protected:
    void SetUp() override { kv17::seam::Reset(); }

    TempDirectory temp;
    const std::vector<uint8_t> contents = {'k', 'v', '1', '7', 0, 0xFF};
};

// As on Win32, the view stays readable after both handles are closed, and
// each object is released once.
TEST_F(FileMappingTest, ViewOutlivesHandles) {
    const HANDLE file = Open(temp.Write("file", contents));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 123;
    EXPECT_EQ(GetFileSize(file, &high), contents.size());
    EXPECT_EQ(high, 0u);
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);

    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(std::memcmp(view, contents.data(), contents.size()), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));

    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_FALSE(CloseHandle(mapping));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST_F(FileMappingTest, RefusesWhatItDoesNotSupport) {
    const std::string path = temp.Write("file", contents);
    EXPECT_EQ(Open(temp.PathOf("missing")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(temp.PathOf("")), INVALID_HANDLE_VALUE);  // a directory
    EXPECT_EQ(Open(path, GENERIC_READ | kGenericWrite), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(path, GENERIC_READ, kCreateAlways), INVALID_HANDLE_VALUE);

    const HANDLE empty = Open(temp.Write("empty", {}));
    const HANDLE file = Open(path);
    EXPECT_EQ(CreateFileMappingA(empty, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, kPageReadWrite, 0, 0, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 100, nullptr), nullptr);
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, kFileMapWrite, 0, 0, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);  // not a mapping
    EXPECT_EQ(GetFileSize(mapping, nullptr), INVALID_FILE_SIZE);      // not a file
    CloseHandle(mapping);
    CloseHandle(file);
    CloseHandle(empty);
}

}  // namespace
