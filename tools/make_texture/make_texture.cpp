// kv17-make-texture: the demo's texture (Data/texture.bmp) from its own
// picture or from yours, and the icon a desktop menu shows for the demo.
#include "demo_picture.h"
#include "output_file.h"
#include "picture_codecs.h"
#include "texture_fitting.h"
#include "whole_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kSynopsis[] =
    "usage: kv17-make-texture OUT.bmp\n"
    "       kv17-make-texture --from PICTURE [--out OUT.bmp]\n"
    "       kv17-make-texture --icon SIZE --out ICON.png\n";

const char kHelp[] =
    "Makes the bitmap the demo shows on its cube, Data/texture.bmp.\n"
    "\n"
    "  OUT.bmp            the demo's own picture, 256x256, always the same bytes\n"
    "  --from PICTURE     your PNG, JPEG or BMP picture, of any size, as a bitmap\n"
    "                     the demo reads: 24 bits per pixel with the 40-byte\n"
    "                     header; each side resized to the nearest power of two\n"
    "                     (halfway between two, the larger one; 16 to 1024), and\n"
    "                     a thin white frame, since the pyramids and the greeting\n"
    "                     line take their colour from the corner pixels.\n"
    "                     Transparent parts turn black.\n"
    "  --out OUT.bmp      where it goes (default Data/texture.bmp)\n"
    "  --icon SIZE        the demo's picture as a SIZE x SIZE PNG icon (16 to 1024)\n"
    "  -h, --help         this text\n"
    "\n"
    "A file is replaced only once its new version is completely written.\n"
    "Exit status: 0 done, 1 failed (nothing written), 2 misuse.\n";

// Bigger files than this are not pictures anyone would put on a cube.
constexpr size_t kMostPictureBytes = size_t(512) << 20;

struct Options {
    std::string from;
    std::string out;
    int iconSize = 0;
};

int Misuse(const std::string& why) {
    fprintf(stderr, "kv17-make-texture: %s\n%s", why.c_str(), kSynopsis);
    return 2;
}

int Failure(const std::string& message) {
    fprintf(stderr, "kv17-make-texture: %s\n", message.c_str());
    return 1;
}

// Returns an empty string, or what is wrong with the command line.
std::string ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--from" || arg == "--out" || arg == "--icon") {
            if (i + 1 == argc) return arg + " needs a value";
            const std::string value = argv[++i];
            if (arg == "--from") options->from = value;
            if (arg == "--out") options->out = value;
            if (arg == "--icon") {
                char* end = nullptr;
                const long size = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || size < 16 || size > 1024)
                    return "--icon takes a size from 16 to 1024";
                options->iconSize = (int)size;
            }
        } else if (arg.empty() || arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else if (options->out.empty()) {
            options->out = arg;
        } else {
            return "one output file only";
        }
    }
    if (!options->from.empty() && options->iconSize != 0)
        return "--from and --icon do not go together";
    if (options->out.empty() && options->from.empty()) return "no output file named";
    if (options->out.empty()) options->out = "Data/texture.bmp";
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            printf("%s\n%s", kSynopsis, kHelp);
            return 0;
        }
    }
    Options options;
    const std::string misuse = ParseOptions(argc, argv, &options);
    if (!misuse.empty()) return Misuse(misuse);

    std::vector<uint8_t> bytes;
    std::string error, done;
    if (options.iconSize != 0) {
        Picture icon;
        if (!MakeIcon(options.iconSize, &icon) || !EncodePng(icon, &bytes))
            return Failure(options.out + ": out of memory");
    } else if (!options.from.empty()) {
        Picture picture, texture;
        if (!ReadWholeFile(options.from, kMostPictureBytes, &bytes, &error) ||
            !DecodePicture(bytes, &picture, &error))
            return Failure(options.from + ": " + error);
        if (!FitToTexture(picture, &texture)) return Failure(options.from + ": out of memory");
        bytes = EncodeBitmap(texture);
        done = options.out + ": " + std::to_string(texture.width) + "x" +
               std::to_string(texture.height) + " from " + std::to_string(picture.width) + "x" +
               std::to_string(picture.height) + "\n";
    } else {
        bytes = EncodeBitmap(DrawDemoPicture());
    }
    OutputFile file;
    if (!file.Open(options.out) || !file.Write(bytes.data(), bytes.size()) || !file.Commit())
        return Failure("cannot write " + file.Error());
    fputs(done.c_str(), stdout);
    return 0;
}
