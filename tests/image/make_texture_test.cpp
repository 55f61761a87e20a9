// kv17-make-texture on the pictures users have and the command lines they type: what comes out
// (the texture's middle pixel), what is refused and why, and that nothing else is left.
#include "test_files.h"

#include <stb/stb_image_write.h>
#include <sys/wait.h>
#include <zlib.h>

#include <iterator>

namespace {

Bytes operator+(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes Be32(uLong value) {
    return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

Bytes Chunk(const char* type, const Bytes& data) {
    const Bytes named = Bytes(type, type + 4) + data;
    return Be32(data.size()) + named + Be32(crc32(0, named.data(), uInt(named.size())));
}

// `count` unfiltered rows of `width` pixels, each `pixel` as filed.
Bytes Rows(uint32_t count, uint32_t width, const Bytes& pixel) {
    Bytes rows;
    for (uint32_t row = 0; row < count; ++row) {
        rows.push_back(0);
        for (uint32_t i = 0; i < width; ++i) rows.insert(rows.end(), pixel.begin(), pixel.end());
    }
    return rows;
}

// A PNG of the size its header gives, whatever the rows deflated into its data hold.
Bytes Png(uint32_t width, uint32_t height, int depth, int colorType, const Bytes& rows,
          bool interlaced = false, const Bytes& more = {}) {
    Bytes deflated(compressBound(rows.size()));
    uLongf size = deflated.size();
    compress2(deflated.data(), &size, rows.data(), rows.size(), 1);
    deflated.resize(size);
    const Bytes header = Be32(width) + Be32(height) +
                         Bytes{uint8_t(depth), uint8_t(colorType), 0, 0, uint8_t(interlaced)};
    return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + Chunk("IHDR", header) + more +
           Chunk("IDAT", deflated) + Chunk("IEND", {});
}

void Append(void* bytes, void* data, int size) {
    *static_cast<Bytes*>(bytes) =
        *static_cast<Bytes*>(bytes) + Bytes((uint8_t*)data, (uint8_t*)data + size);
}

// A side x side JPEG, all grey 99.
Bytes Jpeg(int side) {
    Bytes file;
    const Bytes grey(size_t(side) * side * 3, 99);
    stbi_write_jpg_to_func(Append, &file, side, side, 3, grey.data(), 100);
    return file;
}

// A 16 x 16 bitmap with a `headerSize` info header whose masks (red, green, blue, alpha)
// lay out the 16- or 32-bit pixels, `pixel` but for the first four columns.
Bytes BitFields(uint32_t headerSize, uint16_t bitCount, std::vector<uint32_t> masks,
                uint32_t pixel) {
    Bytes dib;
    for (uint32_t field : {headerSize, 16u, 16u, 1u | bitCount << 16, 3u, 0u, 0u, 0u, 0u, 0u})
        PutLe(dib, field, 4);
    for (uint32_t mask : masks) PutLe(dib, mask, 4);
    dib.resize(std::max<size_t>(dib.size(), headerSize), 0);
    // Black on the left: pixels read from the wrong place show there.
    for (int i = 0; i < 16 * 16; ++i) PutLe(dib, i % 16 < 4 ? 0 : pixel, bitCount / 8);
    return dib;  // a bare DIB, which the demo reads as well
}

Bytes Half(Bytes file) { return Bytes(file.begin(), file.begin() + file.size() / 2); }

struct TextureCase {
    const char* name;
    std::string command;  // run by sh in a folder holding the file "in" and the folder "dir"
    Bytes (*in)();        // made when the case runs: some are large
    std::string said;     // "status|first line on stderr"
    Bytes middle{};       // the texture's middle pixel, when one is written to out.bmp
};
void PrintTo(const TextureCase& row, std::ostream* out) { *out << row.name; }

class MakeTextureTest : public ::testing::TestWithParam<TextureCase> {};

TEST_P(MakeTextureTest, WritesTheTextureOrSaysWhyNot) {
    const TextureCase& row = GetParam();
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer alone reserves more address space than any such limit.
    if (row.command.starts_with("ulimit -v")) GTEST_SKIP();
#endif
    TempDirectory temp;
    temp.Write("in", row.in());
    std::filesystem::create_directory(temp.PathOf("dir"));
    const int status =
        std::system(("cd '" + temp.PathOf("") + "' && M() { '" KV17_MAKE_TEXTURE "' \"$@\"; } && " +
                     row.command + " >/dev/null 2>err")
                        .c_str());
    std::ifstream err(temp.PathOf("err"));
    std::string line;
    std::getline(err, line);
    EXPECT_EQ(std::to_string(WEXITSTATUS(status)) + "|" + line, row.said);
    std::ifstream out(temp.PathOf("out.bmp"), std::ios::binary);
    const auto [loaded, width, height, rgb] =
        Decode(Bytes(std::istreambuf_iterator<char>(out), {}));
    const size_t middle = (size_t(height / 2) * width + width / 2) * 3;
    EXPECT_EQ(loaded == DibStatus::Loaded ? Bytes(&rgb[middle], &rgb[middle + 3]) : Bytes{},
              row.middle);
    // "in", "dir" (empty), "err" and the texture where one was written; no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(temp.path), {}),
              row.middle.empty() ? 3 : 4);
}

// 16 pixels a side, blue (kept as blue, green, red), `height` negative for top-down rows.
Bytes BlueBmp(int32_t height) {
    Bytes rows;
    for (int i = 0; i < 16 * 16; ++i) rows.insert(rows.end(), {200, 20, 10});
    return BuildBmp({.width = 16, .height = height, .pixels = rows});
}

// Each row a run of 16 pixels of colour 5 and an end of line; the last ends the bitmap.
Bytes RunLengthRows() {
    Bytes rows;
    for (int row = 0; row < 16; ++row) rows.insert(rows.end(), {16, 5, 0, uint8_t(row == 15)});
    return rows;
}

Bytes None() { return {}; }

const char kConvert[] = "M --from in --out out.bmp";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pictures, MakeTextureTest, ::testing::Values(
    // Bitmaps: the demo's verdicts and reasons, and the newer forms it refuses.
    TextureCase{"BitmapCutInHalf", kConvert, [] { return Half(BlueBmp(16)); },
                "1|kv17-make-texture: in: Bitmap file is truncated."},
    TextureCase{"BitmapTopDown", kConvert, [] { return BlueBmp(-16); }, "0|", {10, 20, 200}},
    TextureCase{"BitmapRunLength", kConvert, [] { return BuildBmp({.width = 16, .height = 16,
                .bitCount = 8, .compression = 1, .colors = 256, .pixels = RunLengthRows()}); },
                "0|", TestColors({5})},
    TextureCase{"BitmapV5WithAlpha", kConvert, [] { return BitFields(124, 32, {0xFF0000, 0xFF00,
                0xFF, 0xFF000000}, 0x80FF8040); }, "0|", {128, 64, 32}},
    TextureCase{"Bitmap565", kConvert, [] { return BitFields(40, 16, {0xF800, 0x7E0, 0x1F},
                0xF81F); }, "0|", {255, 0, 255}},
    // PNG: 8 bits a channel from any depth, transparency over black, interlacing.
    TextureCase{"Png16Bit", kConvert, [] { return Png(16, 16, 16, 2, Rows(16, 16, {0xC8, 0x01,
                0x14, 0xFF, 0x0A, 0x80})); }, "0|", {200, 20, 10}},
    TextureCase{"PngInterlacedPaletteHalfSeeThrough", kConvert, [] { return Png(1, 1, 8, 3,
                Rows(1, 1, {1}), true, Chunk("PLTE", {0, 0, 0, 200, 100, 50}) +
                Chunk("tRNS", {255, 128})); }, "0|", {100, 50, 25}},
    TextureCase{"PngClaimingMoreThanItHolds", kConvert, [] { return Png(16384, 4096, 8, 0,
                Rows(1, 16384, {0})); }, "1|kv17-make-texture: in: the picture is cut short: its "
                "header promises 16384x4096 pixels, more than its image data can hold"},
    TextureCase{"PngTooLarge", kConvert, [] { return Png(40000, 1, 8, 0, Rows(1, 40000, {0})); },
                "1|kv17-make-texture: in: 40000x1 pixels: the picture is too large (at most "
                "32768 pixels a side and 357 megapixels)"},
    TextureCase{"PngDamaged", kConvert, [] { Bytes file = Png(16, 16, 8, 0, Rows(16, 16, {7}));
                file[file.size() - 13] ^= 1; return file; },  // the image data's checksum
                "1|kv17-make-texture: in: the PNG cannot be read (IDAT: CRC error)"},
    TextureCase{"PngBeyondTheMemoryLimit", "ulimit -v 40000; M --from in --out out.bmp", [] {
                return Png(4096, 4096, 8, 0, Rows(4096, 4096, {0})); },
                "1|kv17-make-texture: in: out of memory"},
    TextureCase{"Jpeg", kConvert, [] { return Jpeg(16); }, "0|", {99, 99, 99}},
    TextureCase{"JpegCutInHalf", kConvert, [] { return Half(Jpeg(64)); }, "1|kv17-make-texture:"
                " in: the picture is cut short: the file ends before its end-of-image marker"},
    // Misuse, found before anything is read.
    TextureCase{"OutEmpty", "M --from in --out ''", None,
                "2|kv17-make-texture: --out: the name is empty"},
    TextureCase{"FromTwice", "M --from in --from in", None,
                "2|kv17-make-texture: --from given twice"},
    TextureCase{"OutAFolderName", "M --from in --out dir/", None,
                "2|kv17-make-texture: --out: dir/ names a folder, not a file"},
    TextureCase{"IconNamedBmp", "M --icon 64 --out icon.bmp", None, "2|kv17-make-texture: --out: "
                "icon.bmp: what is written is PNG, so the name must end in .png"},
    TextureCase{"OutputNamedTwice", "M out.bmp --out=out.bmp", None,
                "2|kv17-make-texture: the output is named twice, by --out and out.bmp"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
