// kv17-bmp2ppm IN.bmp OUT.ppm: what the demo sees in a bitmap, written as a
// binary PPM. Exit 0 when the loader returns an image and the file is
// written, 1 when the loader refuses the bitmap (its message goes to stderr)
// or the output cannot be written, 2 on misuse.
#include "bitmap_loader.h"
#include "output_file.h"
#include "test_seam.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kUsage[] =
    "usage: kv17-bmp2ppm IN.bmp OUT.ppm\n"
    "Loads IN.bmp as the demo loads its texture and writes what the demo\n"
    "sees as a binary PPM (P6), top row first. When the demo would refuse\n"
    "the bitmap, prints the demo's message and writes nothing.\n"
    "Exit status: 0 written, 1 refused or not written, 2 misuse.\n";

// PPM lists the top row first; the image holds the bottom row first.
bool WritePpm(const RgbImage& image, const char* path, std::string* error) {
    OutputFile out;
    if (!out.Open(path)) {
        *error = out.Error();
        return false;
    }
    char header[64];
    const int headerBytes =
        std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", image.width, image.height);
    bool written = out.Write(header, size_t(headerBytes));
    const size_t rowBytes = size_t(image.width) * 3;
    for (int32_t row = image.height - 1; written && row >= 0; --row) {
        written = out.Write(image.pixels + row * rowBytes, rowBytes);
    }
    if (written && out.Commit()) return true;
    *error = out.Error();
    return false;
}

// The loader says nothing about a file it cannot open for reading, so say
// why here. Without waiting: a FIFO would block a plain open.
bool CanOpen(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

// Writing the output over the input would destroy the bitmap being read.
bool SameFile(const char* a, const char* b) {
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char* in = argv[1];
    const char* out = argv[2];
    kv17::seam::MessageBoxesToStderr();

    if (!CanOpen(in)) {
        std::fprintf(stderr, "kv17-bmp2ppm: %s: %s\n", in, std::strerror(errno));
        return 1;
    }
    if (SameFile(in, out)) {
        std::fprintf(stderr, "kv17-bmp2ppm: %s: the output would overwrite the input\n", out);
        return 2;
    }
    RgbImage* image = LoadBitmapFile(in);
    if (image == nullptr) return 1;

    std::string error;
    const bool written = WritePpm(*image, out, &error);
    if (!written) std::fprintf(stderr, "kv17-bmp2ppm: cannot write %s\n", error.c_str());
    FreeRgbImage(image);
    return written ? 0 : 1;
}
