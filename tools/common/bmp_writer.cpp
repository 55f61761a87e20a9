#include "bmp_writer.h"

#include <cstddef>

namespace {

constexpr uint32_t kHeadersBytes = 14 + 40;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dpi

void PutLittle(std::vector<uint8_t>* bytes, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes->push_back((uint8_t)(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BitmapHeaders(int32_t width, int32_t height, uint16_t bitCount,
                                   uint32_t compression, uint32_t colors, uint32_t pixelBytes) {
    const uint32_t offBits = kHeadersBytes + colors * 4;
    std::vector<uint8_t> bytes = {'B', 'M'};
    PutLittle(&bytes, offBits + pixelBytes, 4);
    PutLittle(&bytes, 0, 4);
    PutLittle(&bytes, offBits, 4);
    PutLittle(&bytes, 40, 4);
    PutLittle(&bytes, uint32_t(width), 4);
    PutLittle(&bytes, uint32_t(height), 4);
    PutLittle(&bytes, 1, 2);  // planes
    PutLittle(&bytes, bitCount, 2);
    PutLittle(&bytes, compression, 4);
    PutLittle(&bytes, pixelBytes, 4);
    PutLittle(&bytes, kPixelsPerMetre, 4);
    PutLittle(&bytes, kPixelsPerMetre, 4);
    PutLittle(&bytes, colors, 4);
    PutLittle(&bytes, 0, 4);  // all colours important
    return bytes;
}

std::vector<uint8_t> EncodeBitmap(const RgbImage& image) {
    const uint32_t width = image.width, height = image.height;
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> bytes =
        BitmapHeaders(image.width, image.height, 24, 0, 0, rowBytes * height);
    bytes.reserve(bytes.size() + size_t(rowBytes) * height);
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* line = &image.pixels[size_t(row) * width * 3];
        for (uint32_t x = 0; x < width; ++x)
            bytes.insert(bytes.end(), {line[x * 3 + 2], line[x * 3 + 1], line[x * 3]});
        bytes.resize(bytes.size() + rowBytes - width * 3, 0);
    }
    return bytes;
}
