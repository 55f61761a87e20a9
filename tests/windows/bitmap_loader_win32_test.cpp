// The loader over Windows' own files and mappings: what loads, what cannot
// be mapped, wide names as UTF-16, and no handle left open afterwards.
#include "bitmap_loader.h"
#include "bmp_builder.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

const Bytes kTwoByTwo = BuildBmp({.width = 2,
                                  .height = 2,
                                  .pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00, 0x07,
                                             0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x00, 0x00}});
const Bytes kTwoByTwoRgb = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A};

Bytes PixelsOf(const RgbImage& image) {
    return Bytes(image.pixels, image.pixels + size_t(image.width) * image.height * 3);
}

void FreeImage(RgbImage* image) {
    std::free(image->pixels);
    std::free(image);
}

// Windows refuses to delete a file while a handle to it is open, or a view
// of it mapped (Wine checks only the handle).
void ExpectDeletable(const std::filesystem::path& path) {
    std::error_code error;
    EXPECT_TRUE(std::filesystem::remove(path, error)) << path << ": " << error.message();
}

class Win32BitmapLoaderTest : public ::testing::Test {
protected:
    // A message box would wait for a user; the results are the same without.
    void SetUp() override { errorPopups = false; }
    void TearDown() override { errorPopups = true; }

    TempDirectory temp;
};

TEST_F(Win32BitmapLoaderTest, LoadsAFileAndReleasesIt) {
    const std::string path = temp.Write("texture.bmp", kTwoByTwo);

    RgbImage* image = LoadBitmapFile(path.c_str());

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(PixelsOf(*image), kTwoByTwoRgb);
    FreeImage(image);
    ExpectDeletable(path);
}

TEST_F(Win32BitmapLoaderTest, ReleasesAFileThatDoesNotDecode) {
    Bytes truncated = kTwoByTwo;
    truncated.resize(truncated.size() - 4);
    const std::string path = temp.Write("truncated.bmp", truncated);

    EXPECT_EQ(LoadBitmapFile(path.c_str()), nullptr);
    ExpectDeletable(path);
}

// Windows maps no empty file; a missing file and a directory fail earlier.
TEST_F(Win32BitmapLoaderTest, GivesNullForWhatCannotBeMapped) {
    const std::string empty = temp.Write("empty.bmp", {});

    EXPECT_EQ(LoadBitmapFile(empty.c_str()), nullptr);
    EXPECT_EQ(LoadDibImage(empty.c_str(), false), nullptr);
    ExpectDeletable(empty);
    EXPECT_EQ(LoadBitmapFile(temp.PathOf("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(LoadDibImage(temp.PathOf("missing.bmp").c_str(), false), nullptr);
    EXPECT_EQ(LoadBitmapFile(temp.PathOf("").c_str()), nullptr);
    EXPECT_EQ(LoadDibImage(temp.PathOf("").c_str(), false), nullptr);
}

// A wide name is UTF-16 here, as CreateFileW takes it.
TEST_F(Win32BitmapLoaderTest, LoadsThroughAWideName) {
    const std::filesystem::path path = std::filesystem::path(temp.PathOf("")) / L"bild-\u00E4.bmp";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(kTwoByTwo.data()), std::streamsize(kTwoByTwo.size()));

    RgbImage* image = LoadDibImage(reinterpret_cast<const char*>(path.c_str()), true);

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(*image), kTwoByTwoRgb);
    FreeImage(image);
    ExpectDeletable(path);
    EXPECT_EQ(LoadDibImage(reinterpret_cast<const char*>(path.c_str()), true), nullptr);
}

}  // namespace
