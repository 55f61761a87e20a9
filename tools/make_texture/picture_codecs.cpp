#include "picture_codecs.h"

#include "dib_decoder.h"
#include "png_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

// stb reads JPEG only: PNG has libpng (8 bits a channel from the start),
// bitmaps the demo's own decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

// stb's writers ignore fwrite's result, so the PNG is built in memory and
// written (and checked) by the caller.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace {

// Some of stb's reasons are built from the bytes and can come out empty.
std::string FailureReason() {
    const char* reason = stbi_failure_reason();
    return reason != nullptr && *reason != '\0' ? reason : "damaged data";
}

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* first = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), first, first + size);
}

bool IsJpeg(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool IsBitmap(const std::vector<uint8_t>& bytes) {
    return LooksLikeDib(bytes.data(), bytes.size());
}

// Entropy-coded data escapes every 0xFF, so the end-of-image marker after
// the first scan is there only when the file holds the whole picture.
bool JpegIsWhole(const std::vector<uint8_t>& bytes) {
    const uint8_t startOfScan[] = {0xFF, 0xDA}, endOfImage[] = {0xFF, 0xD9};
    auto scan = std::search(bytes.begin(), bytes.end(), startOfScan, startOfScan + 2);
    return std::search(scan, bytes.end(), endOfImage, endOfImage + 2) != bytes.end();
}

RgbImage* DecodeJpeg(const std::vector<uint8_t>& bytes, std::string* error) {
    if (bytes.size() > INT_MAX) {
        *error = "the file is too large";
        return nullptr;
    }
    const int size = (int)bytes.size();
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), size, &width, &height, &channels)) {
        *error = "the JPEG cannot be read (" + FailureReason() + ")";
        return nullptr;
    }
    if (!PictureSizeFits(width, height, error)) return nullptr;
    if (!JpegIsWhole(bytes)) {
        *error = "the picture is cut short: the file ends before its end-of-image marker";
        return nullptr;
    }
    stbi_uc* rgb = stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 3);
    if (rgb == nullptr) {
        const std::string reason = FailureReason();
        *error =
            reason == "outofmem" ? "out of memory" : "the JPEG cannot be read (" + reason + ")";
        return nullptr;
    }
    // stb gives the top row first; the image keeps the bottom row first.
    RgbImage* image = NewRgbImage(width, height);
    const size_t rowBytes = size_t(width) * 3;
    for (int row = 0; image != nullptr && row < height; ++row)
        std::memcpy(image->pixels + (height - 1 - row) * rowBytes, rgb + row * rowBytes, rowBytes);
    stbi_image_free(rgb);
    if (image == nullptr) *error = "out of memory";
    return image;
}

RgbImage* DecodeBitmap(const std::vector<uint8_t>& bytes, std::string* error) {
    RgbImage* image = nullptr;
    const DibStatus status = DecodeDib(bytes.data(), bytes.size(), &image, DibForms::WithNewer);
    if (status != DibStatus::Loaded) *error = DibStatusText(status);
    return image;
}

}  // namespace

bool PictureSizeFits(uint32_t width, uint32_t height, std::string* error) {
    if (width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
        uint64_t{width} * height * 3 <= kMaxPixelBufferBytes)
        return true;
    *error = std::to_string(width) + "x" + std::to_string(height) + " pixels: " +
             (width == 0 || height == 0 ? "the picture has no pixels"
                                        : "the picture is too large (at most 32768 pixels a "
                                          "side and 357 megapixels)");
    return false;
}

RgbImage* DecodePicture(const std::vector<uint8_t>& bytes, std::string* error) {
    if (IsPng(bytes)) return DecodePng(bytes, error);
    if (IsJpeg(bytes)) return DecodeJpeg(bytes, error);
    if (IsBitmap(bytes)) return DecodeBitmap(bytes, error);
    *error = "not a PNG, JPEG or BMP picture";
    return nullptr;
}

bool EncodePng(const RgbImage& image, std::vector<uint8_t>* bytes) {
    bytes->clear();
    stbi_flip_vertically_on_write(1);  // PNG lists the top row first
    return stbi_write_png_to_func(AppendBytes, bytes, image.width, image.height, 3, image.pixels,
                                  image.width * 3) != 0;
}
