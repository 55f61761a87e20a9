// kv17-bmp2ppm and kv17-make-texture as a user runs them: status, first lines, the files left.
#include "test_files.h"

#include <sys/wait.h>

#include <iterator>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Runs `command` by sh in the folder, B and M the tools: "status|stdout's|stderr's first line".
std::string RunTools(const TempDirectory& temp, const std::string& command) {
    const std::string tools =
        "B() { '" KV17_BMP2PPM "' \"$@\"; }; M() { '" KV17_MAKE_TEXTURE "' \"$@\"; }; ";
    const int status = std::system(
        ("cd '" + temp.PathOf("") + "' && (" + tools + command + ") >stdout 2>stderr").c_str());
    std::string said = std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    for (const char* stream : {"stdout", "stderr"})
        said.append("|").append(FirstLine(Contents(temp.PathOf(stream))));
    return said;
}

struct ToolRun {
    const char* command;   // run in a folder holding the inputs written below
    const char* said;      // as RunTools gives it
    std::string out = "";  // the file "out", where it must be written
};

// clang-format off
const ToolRun kRuns[] = {
    {"B in.bmp out", "0||", "P6\n2 2\n255\n\x09\x08\x07\x0C\x0B\x0A\x03\x02\x01\x06\x05\x04"},
    {"B flat.bmp out", "1||kv17-bmp2ppm: flat.bmp: Bitmap width or height is zero."},
    {"B --help", "0|usage: kv17-bmp2ppm IN.bmp OUT.ppm|"},
    {"B in.bmp", "2||kv17-bmp2ppm: two files are needed, IN.bmp and OUT.ppm"},
    {"B in.bmp out.bmp", "2||kv17-bmp2ppm: OUT.ppm: out.bmp: what is written is PPM, so the name "
     "must end in .ppm"},
    {"B no.bmp out", "1||kv17-bmp2ppm: no.bmp: No such file or directory"},
    {"B in.bmp ./in.bmp", "2||kv17-bmp2ppm: ./in.bmp: the output would overwrite the input"},
    // Writes fail past 512 bytes: nothing, not even the temporary file, stays.
    {"trap '' XFSZ; ulimit -f 1; B big.bmp out", "1||kv17-bmp2ppm: cannot write out: File too "
     "large"},
    {"M out", "0||", Contents(KV17_SOURCE_DIR "/Data/texture.bmp")},
    {"M --from no.png --out out", "1||kv17-make-texture: no.png: No such file or directory"},
    {"M --from notes.txt --out out", "1||kv17-make-texture: notes.txt: not a PNG, JPEG or BMP "
     "picture"},
    {"M --from empty.png --out out", "1||kv17-make-texture: empty.png: the file is empty"},
    {"M --from dir --out out", "1||kv17-make-texture: dir: Is a directory"},
    {"M --from big.bmp --out no/out", "1||kv17-make-texture: cannot write no/out: No such file or "
     "directory"},
    // A folder in the way is found before any work.
    {"M --from big.bmp --out dir", "1||kv17-make-texture: cannot write dir: Is a directory"},
    {"M --out out --from", "2||kv17-make-texture: --from needs a value"},
};
// clang-format on

TEST(ToolsTest, RunAsAUserExpects) {
    for (const ToolRun& row : kRuns) {
        SCOPED_TRACE(row.command);
        TempDirectory temp;
        const Bytes example = ExampleBmp();
        temp.Write("in.bmp", example);
        temp.Write("big.bmp", BuildBmp({.width = 32, .height = 32, .pixels = Bytes(3072)}));
        temp.Write("flat.bmp", BuildBmp({.width = 0}));
        temp.Write("notes.txt", {'h', 'i'});
        temp.Write("empty.png", {});
        std::filesystem::create_directory(temp.PathOf("dir"));
        EXPECT_EQ(RunTools(temp, row.command), row.said);
        // The six inputs and the two streams, "out" only where it was written, "dir" empty.
        const auto files = std::filesystem::recursive_directory_iterator(temp.path);
        EXPECT_EQ(std::distance(begin(files), end(files)), row.out.empty() ? 8 : 9);
        EXPECT_EQ(Contents(temp.PathOf("out")), row.out);
        EXPECT_EQ(Contents(temp.PathOf("in.bmp")), std::string(example.begin(), example.end()));
    }
    // A picture of any size becomes a texture the demo's decoder takes: here in a white frame.
    TempDirectory temp;
    Bytes blue;
    for (int i = 0; i < 300 * 70; ++i) blue.insert(blue.end(), {10, 20, 200});
    ASSERT_NE(stbi_write_png(temp.PathOf("odd.png").c_str(), 300, 70, 3, blue.data(), 900), 0);
    ASSERT_EQ(RunTools(temp, "M --from odd.png --out out"), "0|out: 256x64 from 300x70|");
    const std::string file = Contents(temp.PathOf("out"));
    const auto [status, width, height, pixels] = Decode(Bytes(file.begin(), file.end()));
    // Loaded, the nearest powers of 2 (the header is the default texture's, byte for byte above).
    EXPECT_EQ(std::tuple(status, width, height), std::tuple(DibStatus::Loaded, 256, 64));
    auto at = [&pixels](int i) { return Bytes(&pixels[i * 3], &pixels[i * 3 + 3]); };
    for (int corner : {0, 255, 63 * 256, 64 * 256 - 1}) EXPECT_EQ(at(corner), Bytes(3, 255));
    EXPECT_EQ(at(32 * 256 + 128), (Bytes{10, 20, 200}));
}

}  // namespace
