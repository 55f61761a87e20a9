// kv17-make-texture: the demo's texture (Data/texture.bmp) from its own
// picture or from yours, and the icon a desktop menu shows for the demo.
#include "bmp_writer.h"
#include "demo_picture.h"
#include "output_file.h"
#include "picture_codecs.h"
#include "texture_fitting.h"
#include "whole_file.h"
#include "whole_number.h"

#include <cstdio>
#include <memory>
#include <new>
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
    "  --from PICTURE     your PNG, JPEG or BMP picture as a bitmap the demo\n"
    "                     reads: 24 bits per pixel with the 40-byte header; each\n"
    "                     side resized to the nearest power of two (halfway\n"
    "                     between two, the larger one; 16 to 1024), and a thin\n"
    "                     white frame, since the pyramids and the greeting line\n"
    "                     take their colour from the corner pixels. Pictures up\n"
    "                     to 32768 pixels a side and 357 megapixels are taken,\n"
    "                     read at 8 bits per channel; the memory needed is the\n"
    "                     file, 3 bytes a pixel and, for a JPEG, stb_image's\n"
    "                     work besides. Transparent parts turn black. Bitmaps\n"
    "                     are read as the demo reads them, and also with the\n"
    "                     newer headers it refuses.\n"
    "  --out OUT.bmp      where it goes (default Data/texture.bmp)\n"
    "  --icon SIZE        the demo's picture as a SIZE x SIZE PNG icon (16 to 1024)\n"
    "  -h, --help         this text\n"
    "  --version          the version\n"
    "\n"
    "A file is replaced only once its new version is completely written; a\n"
    "signal that ends the program leaves no part of it behind.\n"
    "Exit status: 0 done, 1 failed (nothing written), 2 misuse.\n";

// No bitmap the demo reads is larger; no PNG or JPEG of the largest picture
// taken comes near it.
constexpr uint64_t kMostPictureBytes = uint64_t{2} << 30;

struct Options {
    std::string from;
    std::string out;
    int iconSize = 0;
    bool help = false;
    bool version = false;
};

int Misuse(const std::string& why) {
    fprintf(stderr, "kv17-make-texture: %s\n%s", why.c_str(), kSynopsis);
    return 2;
}

int Failure(const std::string& message) {
    fprintf(stderr, "kv17-make-texture: %s\n", message.c_str());
    return 1;
}

// One option and its value, given as "--out FILE" or "--out=FILE".
std::string TakeValue(const std::string& option, const std::string& value, Options* options,
                      bool* outGiven) {
    if (option == "--icon") {
        if (options->iconSize != 0) return "--icon given twice";
        if (!ParseWholeNumber(value, 16, 1024, &options->iconSize))
            return "--icon takes a size from 16 to 1024";
        return "";
    }
    std::string& field = option == "--from" ? options->from : options->out;
    if (option == "--out" ? *outGiven : !field.empty()) return option + " given twice";
    if (value.empty()) return option + ": the name is empty";
    if (option == "--out") *outGiven = true;
    field = value;
    return "";
}

// Returns an empty string, or what is wrong with the command line.
std::string ParseOptions(int argc, char** argv, Options* options) {
    bool outGiven = false, operandsOnly = false;
    std::string operand;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string option = arg.substr(0, arg.find('='));
        if (operandsOnly || arg.empty() || arg[0] != '-') {
            if (arg.empty()) return "the output file's name is empty";
            if (!operand.empty()) return "one output file only";
            operand = arg;
        } else if (arg == "--") {
            operandsOnly = true;
        } else if (arg == "-h" || arg == "--help") {
            options->help = true;  // as soon as it is seen, whatever follows
            return "";
        } else if (arg == "--version") {
            options->version = true;
            return "";
        } else if (option == "--from" || option == "--out" || option == "--icon") {
            const bool joined = option.size() < arg.size();
            if (!joined && i + 1 == argc) return arg + " needs a value";
            const std::string value = joined ? arg.substr(option.size() + 1) : argv[++i];
            const std::string problem = TakeValue(option, value, options, &outGiven);
            if (!problem.empty()) return problem;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (!operand.empty() && outGiven) return "the output is named twice, by --out and " + operand;
    if (!operand.empty()) options->out = operand;
    if (!options->from.empty() && options->iconSize != 0)
        return "--from and --icon do not go together";
    if (options->out.empty() && (options->from.empty() || options->iconSize != 0))
        return "no output file named";
    if (options->out.empty()) options->out = "Data/texture.bmp";
    const std::string misuse = OutputNameMisuse(options->out, options->iconSize ? ".png" : ".bmp");
    if (!misuse.empty()) return (outGiven ? "--out: " : "output file: ") + misuse;
    return "";
}

using OwnedImage = std::unique_ptr<RgbImage, decltype(&FreeRgbImage)>;

OwnedImage Own(RgbImage* image) { return OwnedImage(image, FreeRgbImage); }

// The bytes to write, or false after saying why.
bool MakeBytes(const Options& options, std::vector<uint8_t>* bytes, std::string* done) {
    std::string error;
    if (options.iconSize != 0) {
        const OwnedImage icon = Own(MakeIcon(options.iconSize));
        if (icon && EncodePng(*icon, bytes)) return true;
        Failure(options.out + ": out of memory");
        return false;
    }
    if (options.from.empty()) {
        const OwnedImage picture = Own(DrawDemoPicture());
        if (picture) *bytes = EncodeBitmap(*picture);
        if (!picture) Failure(options.out + ": out of memory");
        return picture != nullptr;
    }
    if (!ReadWholeFile(options.from, kMostPictureBytes, bytes, &error)) {
        Failure(options.from + ": " + error);
        return false;
    }
    const OwnedImage picture = Own(DecodePicture(*bytes, &error));
    std::vector<uint8_t>().swap(*bytes);  // the file's bytes are no longer needed
    if (!picture) {
        Failure(options.from + ": " + error);
        return false;
    }
    const OwnedImage texture = Own(FitToTexture(*picture));
    if (!texture) {
        Failure(options.from + ": out of memory");
        return false;
    }
    *bytes = EncodeBitmap(*texture);
    *done = options.out + ": " + std::to_string(texture->width) + "x" +
            std::to_string(texture->height) + " from " + std::to_string(picture->width) + "x" +
            std::to_string(picture->height) + "\n";
    return true;
}

int Run(int argc, char** argv) {
    Options options;
    const std::string misuse = ParseOptions(argc, argv, &options);
    if (!misuse.empty()) return Misuse(misuse);
    if (options.help) {
        printf("%s\n%s", kSynopsis, kHelp);
        return 0;
    }
    if (options.version) {
        printf("kv17-make-texture (kv17) %s\n", KV17_VERSION);
        return 0;
    }
    std::string error;
    if (!CheckOutputFolder(options.out, &error)) return Failure("cannot write " + error);
    std::vector<uint8_t> bytes;
    std::string done;
    if (!MakeBytes(options, &bytes, &done)) return 1;
    OutputFile file;
    if (!file.Open(options.out) || !file.Write(bytes.data(), bytes.size()) || !file.Commit())
        return Failure("cannot write " + file.Error());
    fputs(done.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever runs out of memory on the way says so, and nothing is written.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Failure("out of memory");
    }
}
