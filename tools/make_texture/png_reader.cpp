#include "png_reader.h"

#include "picture_codecs.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Deflate turns at most 2 bits into 258 bytes: image data that would have
// to inflate further than this is missing, whatever its header says.
constexpr uint64_t kMostInflation = 1032;

struct Reading {
    const std::vector<uint8_t>* bytes;
    size_t at;
    char failure[160];
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
    auto* reading = static_cast<Reading*>(png_get_io_ptr(png));
    if (reading->bytes->size() - reading->at < count) png_error(png, "the file ends early");
    std::memcpy(out, reading->bytes->data() + reading->at, count);
    reading->at += count;
}

[[noreturn]] void Fail(png_structp png, png_const_charp message) {
    auto* reading = static_cast<Reading*>(png_get_error_ptr(png));
    std::snprintf(reading->failure, sizeof reading->failure, "%s", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

uint32_t ReadBe32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

// The bytes of all IDAT chunks that the file holds: the compressed pixels.
uint64_t ImageDataBytes(const std::vector<uint8_t>& bytes) {
    uint64_t total = 0;
    for (size_t at = 8; bytes.size() - at >= 8;) {
        const size_t length = ReadBe32(&bytes[at]);
        const size_t present = std::min(length, bytes.size() - at - 8);
        if (std::memcmp(&bytes[at + 4], "IDAT", 4) == 0) total += present;
        if (present < length || bytes.size() - at - 8 - length < 4) break;
        at += 12 + length;
    }
    return total;
}

// The inflated size of the image data: each pass's rows, a filter byte each.
uint64_t RawBytes(png_uint_32 width, png_uint_32 height, int bitsPerPixel, bool interlaced) {
    uint64_t total = 0;
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const uint64_t columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        const uint64_t rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        if (columns != 0) total += rows * (1 + (columns * bitsPerPixel + 7) / 8);
    }
    return total;
}

// Where a pixel of a row lands: without interlacing the whole image is one
// pass; with Adam7 each of seven passes is a sub-image of its own.
struct Pass {
    png_uint_32 columns, rows;
    int number;  // -1: not interlaced
    png_uint_32 X(png_uint_32 column) const {
        return number < 0 ? column : PNG_COL_FROM_PASS_COL(column, number);
    }
    png_uint_32 Y(png_uint_32 row) const {
        return number < 0 ? row : PNG_ROW_FROM_PASS_ROW(row, number);
    }
};

// One row of 8-bit RGB or RGBA into the image, bottom row first, alpha
// mixed with black.
void PutRow(const uint8_t* row, int channels, const Pass& pass, png_uint_32 rowInPass,
            RgbImage* image) {
    const png_uint_32 y = image->height - 1 - pass.Y(rowInPass);
    uint8_t* out = image->pixels + size_t(y) * image->width * 3;
    for (png_uint_32 column = 0; column < pass.columns; ++column, row += channels) {
        const unsigned alpha = channels == 4 ? row[3] : 255;
        uint8_t* pixel = out + size_t(pass.X(column)) * 3;
        for (int c = 0; c < 3; ++c) pixel[c] = uint8_t((row[c] * alpha + 127) / 255);
    }
}

// Everything that libpng's errors can jump out of, with no object that
// needs destroying: the caller releases what is left in the pointers.
bool Decode(png_structp png, png_infop info, const std::vector<uint8_t>& bytes, RgbImage** image,
            uint8_t** row, std::string* error) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    if (!PictureSizeFits(width, height, error)) return false;
    const bool interlaced = interlace != PNG_INTERLACE_NONE;
    const int bitsPerPixel = png_get_channels(png, info) * depth;
    if (RawBytes(width, height, bitsPerPixel, interlaced) >
        kMostInflation * ImageDataBytes(bytes)) {
        *error = "the picture is cut short: its header promises " + std::to_string(width) + "x" +
                 std::to_string(height) + " pixels, more than its image data can hold";
        return false;
    }
    // 8 bits per channel from the start (16-bit samples keep their high
    // byte), indexed and grey pixels as RGB, transparency as alpha.
    png_set_strip_16(png);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    *row = static_cast<uint8_t*>(std::malloc(size_t(width) * channels));
    *image = NewRgbImage(int32_t(width), int32_t(height));
    if (*row == nullptr || *image == nullptr) {
        *error = "out of memory";
        return false;
    }
    // Each pass's rows as libpng hands them out: memory for the image and
    // one row, never the whole image at 16 bits or with its alpha.
    for (int number = interlaced ? 0 : -1; number < (interlaced ? 7 : 0); ++number) {
        const Pass pass{number < 0 ? width : PNG_PASS_COLS(width, number),
                        number < 0 ? height : PNG_PASS_ROWS(height, number), number};
        if (pass.columns == 0) continue;
        for (png_uint_32 r = 0; r < pass.rows; ++r) {
            png_read_row(png, *row, nullptr);
            PutRow(*row, channels, pass, r, *image);
        }
    }
    return true;
}

}  // namespace

bool IsPng(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

RgbImage* DecodePng(const std::vector<uint8_t>& bytes, std::string* error) {
    Reading reading{&bytes, 8, ""};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, Fail, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory";
        return nullptr;
    }
    png_set_read_fn(png, &reading, ReadBytes);
    png_set_sig_bytes(png, 8);
    RgbImage* image = nullptr;
    uint8_t* row = nullptr;
    const bool decoded = Decode(png, info, bytes, &image, &row, error);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(row);
    if (decoded) return image;
    FreeRgbImage(image);
    // libpng's own allocations fail with "Out of memory" (or "Insufficient
    // memory"): say it as the other failed allocations are said.
    const bool memory = std::strstr(reading.failure, "memory") != nullptr;
    if (error->empty() && memory) *error = "out of memory";
    if (error->empty()) *error = std::string("the PNG cannot be read (") + reading.failure + ")";
    return nullptr;
}
