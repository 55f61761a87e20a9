// Bitmaps built field by field so that a test states every byte; their decoding; a folder.
#pragma once

#include "dib_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct BmpFile {
    bool core = false;        // the 12-byte core header instead of the 40-byte info header
    uint32_t headerSize = 0;  // 0: the size of the form written
    int32_t width = 1, height = 1;
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = 0, colorsUsed = 0;
    int colors = 0;    // colour-table entries written; entry i is TestColors({i})
    uint32_t gap = 0;  // bytes after the table that bfOffBits skips (file header only)
    Bytes pixels{};
};

inline void PutLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> 8 * i));
}

inline Bytes BuildBmp(const BmpFile& file, bool fileHeader = true) {
    Bytes dib;
    PutLe(dib, file.headerSize ? file.headerSize : file.core ? 12 : 40, 4);
    for (int32_t side : {file.width, file.height}) PutLe(dib, uint32_t(side), file.core ? 2 : 4);
    PutLe(dib, file.planes | file.bitCount << 16, 4);
    // The image size, resolutions and colours important are never needed.
    for (uint32_t field : {file.compression, 0xFFFFFFFFu, 1u, 2u, file.colorsUsed, 3u})
        PutLe(dib, field, file.core ? 0 : 4);
    // Blue, green, red, and in the info form a reserved byte.
    for (int i = 0; i < file.colors; ++i)
        PutLe(dib, 0xA5000000u | (255 - i) << 16 | (i ^ 0x80) << 8 | i, file.core ? 3 : 4);
    Bytes out;
    if (fileHeader) {
        dib.insert(dib.end(), file.gap, 0xEE);
        out = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};  // the file's size and reserved: never read
        PutLe(out, uint32_t(14 + dib.size()), 4);
    }
    out.insert(out.end(), dib.begin(), dib.end());
    out.insert(out.end(), file.pixels.begin(), file.pixels.end());
    return out;
}

// The red, green and blue of colour-table entries; -1 stands for black.
inline Bytes TestColors(std::initializer_list<int> indices) {
    Bytes rgb;
    for (int i : indices) PutLe(rgb, i < 0 ? 0 : (255 - i) | (i ^ 0x80) << 8 | i << 16, 3);
    return rgb;
}

// 2 x 2 pixels, 24 bits: the rows as filed (bottom first, padded to 8 bytes) and as decoded.
inline const Bytes kExampleRows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
inline const Bytes kExampleRgb = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
inline Bytes ExampleBmp() { return BuildBmp({.width = 2, .height = 2, .pixels = kExampleRows}); }

// An image's pixels (none for no image); the image freed as its receiver frees it.
inline Bytes TakePixels(RgbImage* image) {
    if (image == nullptr) return {};
    const Bytes rgb(image->pixels, image->pixels + image->width * image->height * 3);
    FreeRgbImage(image);
    return rgb;
}

using Decoded = std::tuple<DibStatus, int32_t, int32_t, Bytes>;  // status, width, height, RGB

// Decodes the first `length` bytes copied to a heap block of their own: sanitizers see overreads.
inline Decoded Decode(const Bytes& file, size_t length = SIZE_MAX) {
    const Bytes data(file.begin(), file.begin() + std::min(length, file.size()));
    RgbImage* image = nullptr;
    const DibStatus status = DecodeDib(data.data(), data.size(), &image);
    return {status, image ? image->width : 0, image ? image->height : 0, TakePixels(image)};
}

// A folder of the test's own, removed with it (a parameterised test's '/' flattened).
struct TempDirectory {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path path =
        ::testing::TempDir() + "kv17-" + Flat(test->test_suite_name()) + "." + Flat(test->name());

    static std::string Flat(std::string name) {
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    TempDirectory() {
        std::filesystem::remove_all(path);  // left by a test that crashed
        std::filesystem::create_directories(path);
    }
    ~TempDirectory() { std::filesystem::remove_all(path); }

    std::string PathOf(const std::string& name) const { return (path / name).string(); }

    std::string Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return PathOf(name);
    }
};
