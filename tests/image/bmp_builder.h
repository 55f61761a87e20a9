// Writes bitmap files for the tests, field by field, so that each test can
// state exactly which bytes the file holds.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class HeaderForm { Core, Info };

// One colour-table entry as the file stores it: blue, green, red.
struct BgrEntry {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
};

struct BmpFile {
    bool fileHeader = true;
    HeaderForm form = HeaderForm::Info;
    std::optional<uint32_t> headerSize{};  // written instead of 12 or 40
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
    std::vector<BgrEntry> colorTable{};  // 3 bytes per entry in the core form, else 4
    uint32_t gap = 0;                    // bytes between table and pixels (bfOffBits skips them)
    std::optional<uint32_t> offBits{};   // written instead of the real pixel offset
    Bytes pixels{};
};

Bytes BuildBmp(const BmpFile& file);

// How a test's parameter shows in test listings.
inline void PrintTo(const BmpFile& file, std::ostream* out) {
    *out << file.width << "x" << file.height << ", " << file.bitCount << " bits";
}

// The colour table the tests use: entry i is red 255 - i, green i ^ 0x80,
// blue i, so that every entry differs from every other and from black.
std::vector<BgrEntry> TestColorTable(int entries);

// The red, green, blue bytes that TestColorTable gives to each index; -1
// stands for a black pixel.
Bytes TestColors(const std::vector<int>& indices);
