#include "picture_codecs.h"

#include <climits>

// Only the three formats users are told about: less decoder to trust.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb/stb_image.h>

// stb's writers ignore fwrite's result, so the PNG is built in memory and
// written (and checked) by the caller.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace {

void PutLittle(std::vector<uint8_t>* bytes, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes->push_back((uint8_t)(value >> (8 * i)));
}

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* first = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), first, first + size);
}

const char kTooLarge[] = "the picture is too large (at most 16384 a side and 64 megapixels)";

// Some of stb's reasons are built from the bytes and can come out empty.
std::string FailureReason() {
    const char* reason = stbi_failure_reason();
    return reason != nullptr && *reason != '\0' ? reason : "damaged data";
}

}  // namespace

std::vector<uint8_t> EncodeBitmap(const Picture& picture) {
    const uint32_t width = picture.width, height = picture.height;
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * height;
    std::vector<uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittle(&bytes, 14 + 40 + pixelBytes, 4);
    PutLittle(&bytes, 0, 4);
    PutLittle(&bytes, 14 + 40, 4);
    PutLittle(&bytes, 40, 4);
    PutLittle(&bytes, width, 4);
    PutLittle(&bytes, height, 4);
    PutLittle(&bytes, 1, 2);   // planes
    PutLittle(&bytes, 24, 2);  // bits per pixel
    PutLittle(&bytes, 0, 4);   // BI_RGB
    PutLittle(&bytes, pixelBytes, 4);
    PutLittle(&bytes, 2835, 4);  // 72 dpi
    PutLittle(&bytes, 2835, 4);
    PutLittle(&bytes, 0, 4);
    PutLittle(&bytes, 0, 4);
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* line = &picture.rgb[(height - 1 - row) * width * 3];
        for (uint32_t x = 0; x < width; ++x) {
            bytes.push_back(line[x * 3 + 2]);
            bytes.push_back(line[x * 3 + 1]);
            bytes.push_back(line[x * 3]);
        }
        for (uint32_t pad = width * 3; pad < rowBytes; ++pad) bytes.push_back(0);
    }
    return bytes;
}

bool EncodePng(const Picture& picture, std::vector<uint8_t>* bytes) {
    bytes->clear();
    return stbi_write_png_to_func(AppendBytes, bytes, picture.width, picture.height, 3,
                                  picture.rgb.data(), picture.width * 3) != 0;
}

bool DecodePicture(const std::vector<uint8_t>& bytes, Picture* picture, std::string* error) {
    if (bytes.size() > INT_MAX) {
        *error = "the file is too large";
        return false;
    }
    const int size = (int)bytes.size();
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), size, &width, &height, &channels)) {
        // The header scan tries every format and then says only "unknown
        // image type"; a load stops at the same header and says what is
        // wrong with it.
        stbi_image_free(stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 4));
        const std::string reason = FailureReason();
        *error = reason == "too large"
                     ? kTooLarge
                     : "not a PNG, JPEG or BMP picture that can be read (" + reason + ")";
        return false;
    }
    // stb's BMP reader lets a side of 0 through.
    if (width <= 0 || height <= 0) {
        *error = "the picture has no pixels (" + std::to_string(width) + "x" +
                 std::to_string(height) + ")";
        return false;
    }
    if (width > kMostPictureSide || height > kMostPictureSide ||
        (long long)width * height > kMostPicturePixels) {
        *error = std::to_string(width) + "x" + std::to_string(height) + " pixels: " + kTooLarge;
        return false;
    }
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 4);
    if (rgba == nullptr) {
        *error = "the picture cannot be decoded (" + FailureReason() + ")";
        return false;
    }
    picture->width = width;
    picture->height = height;
    picture->rgb.resize((size_t)width * height * 3);
    for (size_t i = 0; i < (size_t)width * height; ++i) {
        const unsigned alpha = rgba[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            picture->rgb[i * 3 + c] = (uint8_t)((rgba[i * 4 + c] * alpha + 127) / 255);
    }
    stbi_image_free(rgba);
    return true;
}
