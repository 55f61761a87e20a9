// Runs the in-memory decoder on a copy of the bytes in a heap block of
// exactly their size, so that the sanitizers see any read past the end.
#pragma once

#include "bmp_builder.h"
#include "dib_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>

struct Decoded {
    DibStatus status;
    int32_t width = 0;
    int32_t height = 0;
    Bytes pixels{};
};

inline Decoded Decode(const Bytes& file, size_t length) {
    auto block = std::make_unique<uint8_t[]>(length);
    if (length != 0) std::memcpy(block.get(), file.data(), length);
    RgbImage* image = nullptr;
    Decoded decoded{.status = DecodeDib(block.get(), length, &image)};
    EXPECT_EQ(image != nullptr, decoded.status == DibStatus::Loaded);
    if (image != nullptr) {
        decoded.width = image->width;
        decoded.height = image->height;
        decoded.pixels.assign(image->pixels,
                              image->pixels + size_t(image->width) * image->height * 3);
        std::free(image->pixels);
        std::free(image);
    }
    return decoded;
}

inline Decoded Decode(const Bytes& file) { return Decode(file, file.size()); }

inline std::ostream& operator<<(std::ostream& out, DibStatus status) {
    static const char* const names[] = {"Loaded",   "UnknownFormat", "Unsupported", "Truncated",
                                        "NoPixels", "TooLarge",      "OutOfMemory"};
    return out << names[static_cast<int>(status)];
}
