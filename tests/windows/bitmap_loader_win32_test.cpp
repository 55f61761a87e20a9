// The loader over Windows' own files and mappings: narrow and wide (UTF-16)
// names, what cannot be mapped or decoded, and no handle left open after.
#include "bitmap_loader.h"
#include "test_files.h"

#include <filesystem>
#include <string>

namespace {

// Windows refuses to delete a file while a handle to it is open.
void ExpectDeletable(const std::filesystem::path& path) {
    std::error_code error;
    EXPECT_TRUE(std::filesystem::remove(path, error)) << path << ": " << error.message();
}

class Win32BitmapLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { errorPopups = false; }  // a box would wait for a user
    void TearDown() override { errorPopups = true; }

    TempDirectory temp;
};

TEST_F(Win32BitmapLoaderTest, LoadsThroughNarrowAndWideNames) {
    const std::string narrow = temp.Write("texture.bmp", ExampleBmp());
    const std::filesystem::path wide = std::filesystem::path(temp.PathOf("")) / L"bild-\u00E4.bmp";
    std::filesystem::copy_file(narrow, wide);
    EXPECT_EQ(TakePixels(LoadBitmapFile(narrow.c_str())), kExampleRgb);
    EXPECT_EQ(TakePixels(LoadDibImage(reinterpret_cast<const char*>(wide.c_str()), true)),
              kExampleRgb);
    ExpectDeletable(narrow);
    ExpectDeletable(wide);
}

TEST_F(Win32BitmapLoaderTest, GivesNullForWhatCannotBeMappedOrDecoded) {
    const Bytes example = ExampleBmp();
    const std::string cut = temp.Write("cut.bmp", Bytes(example.begin(), example.end() - 4));
    const std::string empty = temp.Write("empty.bmp", {});
    for (const std::string& path : {cut, empty, temp.PathOf("missing.bmp"), temp.PathOf("")}) {
        EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr) << path;
        EXPECT_EQ(LoadDibImage(path.c_str(), false), nullptr) << path;
    }
    ExpectDeletable(cut);
    ExpectDeletable(empty);
}

}  // namespace
