// kv17-bmp2ppm IN.bmp OUT.ppm: what the demo sees in a bitmap, written as a
// binary PPM. Exit 0 when the loader returns an image, 1 when it does not
// (its message goes to stderr) or the output cannot be written, 2 on misuse.
#include "bitmap_loader.h"
#include "test_seam.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// PPM lists the top row first; the image holds the bottom row first.
bool WritePpm(const RgbImage& image, const char* path) {
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    bool written = std::fprintf(out, "P6\n%d %d\n255\n", image.width, image.height) > 0;
    const size_t rowBytes = size_t(image.width) * 3;
    for (int32_t row = image.height - 1; written && row >= 0; --row) {
        written = std::fwrite(image.pixels + row * rowBytes, 1, rowBytes, out) == rowBytes;
    }
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kv17-bmp2ppm IN.bmp OUT.ppm\n");
        return 2;
    }
    const char* in = argv[1];
    const char* out = argv[2];
    kv17::seam::MessageBoxesToStderr();

    // The loader says nothing about a file it cannot open for reading.
    if (FILE* probe = std::fopen(in, "r")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "kv17-bmp2ppm: %s: %s\n", in, std::strerror(errno));
        return 1;
    }
    RgbImage* image = LoadBitmapFile(in);
    if (image == nullptr) return 1;

    const bool written = WritePpm(*image, out);
    if (!written) std::fprintf(stderr, "kv17-bmp2ppm: cannot write %s\n", out);
    std::free(image->pixels);
    std::free(image);
    return written ? 0 : 1;
}
