// kv17-bmp2ppm IN.bmp OUT.ppm: what the demo sees in a bitmap, written as a
// binary PPM. Exit 0 when the loader returns an image and the file is
// written, 1 when the loader refuses the bitmap (saying why, as the demo
// does on stderr) or the output cannot be written, 2 on misuse.
#include "bitmap_loader.h"
#include "output_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "usage: kv17-bmp2ppm IN.bmp OUT.ppm\n"
    "Loads IN.bmp as the demo loads its texture and writes what the demo\n"
    "sees as a binary PPM (P6), top row first. When the demo would refuse\n"
    "the bitmap, prints the demo's message and writes nothing.\n"
    "  -h, --help     this text\n"
    "  --version      the version\n"
    "OUT.ppm appears only once it is completely written; a signal that ends\n"
    "the program leaves no part of it behind.\n"
    "Exit status: 0 written, 1 refused or not written, 2 misuse.\n";

int Misuse(const std::string& why) {
    std::fprintf(stderr, "kv17-bmp2ppm: %s\n%s", why.c_str(), kUsage);
    return 2;
}

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

// Writing the output over the input would destroy the bitmap being read.
bool SameFile(const char* a, const char* b) {
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> operands;
    bool operandsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (operandsOnly || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("kv17-bmp2ppm (kv17) %s\n", KV17_VERSION);
            return 0;
        } else {
            return Misuse("unknown option '" + arg + "'");
        }
    }
    if (operands.size() != 2) return Misuse("two files are needed, IN.bmp and OUT.ppm");
    const char* in = operands[0].c_str();
    const char* out = operands[1].c_str();
    if (*in == '\0') return Misuse("IN.bmp: the name is empty");
    if (SameFile(in, out))
        return Misuse(std::string(out) + ": the output would overwrite the input");
    const std::string misuse = OutputNameMisuse(out, ".ppm");
    if (!misuse.empty()) return Misuse("OUT.ppm: " + misuse);
    std::string error;
    if (!CheckOutputFolder(out, &error)) {
        std::fprintf(stderr, "kv17-bmp2ppm: cannot write %s\n", error.c_str());
        return 1;
    }

    // The reason goes to stderr as one line, as the demo writes it; no box.
    errorPopups = false;
    RgbImage* image = LoadBitmapFile(in);
    if (image == nullptr) {
        std::fprintf(stderr, "kv17-bmp2ppm: %s: %s\n", in, BitmapFailureReason());
        return 1;
    }
    const bool written = WritePpm(*image, out, &error);
    if (!written) std::fprintf(stderr, "kv17-bmp2ppm: cannot write %s\n", error.c_str());
    FreeRgbImage(image);
    return written ? 0 : 1;
}
