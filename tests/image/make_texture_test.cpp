// kv17-make-texture as a user runs it: any picture becomes a bitmap the
// demo's decoder takes, and bad input leaves no file behind.
#include "test_files.h"

#include <sys/wait.h>

#include <iterator>
#include <tuple>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Tool : public ::testing::Test {
protected:
    Tool() { std::filesystem::create_directory(temp.PathOf("out")); }
    // The tool's exit code; its stderr in `errors`.
    int Run(const std::string& args) {
        const std::string command =
            std::string(KV17_MAKE_TEXTURE " ") + args + " >/dev/null 2>" + temp.PathOf("stderr");
        const int status = std::system(command.c_str());
        errors = Contents(temp.PathOf("stderr"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    TempDirectory temp;
    const std::string out = temp.PathOf("out/t.bmp"), to = " --out " + out;
    std::string errors;
};

TEST_F(Tool, RefusesBadInputAndLeavesNothing) {
    const std::string noDir = temp.PathOf("out/no/t.bmp");
    for (const auto& [args, exitCode, message] :
         std::vector<std::tuple<std::string, int, std::string>>{
             {"--from " + temp.PathOf("missing.png") + to, 1, "missing.png: No such file"},
             {"--from " + temp.Write("notes.txt", {'h', 'i'}) + to, 1, "not a PNG, JPEG or BMP"},
             {"--from " + temp.Write("empty.png", {}) + to, 1, "empty.png: the file is empty"},
             {"--from " + temp.PathOf("") + to, 1, "not a regular file"},
             {"--from " + temp.Write("flat.bmp", BuildBmp({.width = 0})) + to, 1, "no pixels"},
             {"--from " + temp.Write("huge.bmp", BuildBmp({.width = 20000})) + to, 1,
              "20000x1 pixels: the picture is too large"},
             {"--from " + temp.Write("ok.bmp", BuildBmp({.pixels = Bytes(4)})) + " --out " + noDir,
              1, "cannot write " + noDir + ": No such file or directory"},
             // Written in full, then the rename fails: the written file must go.
             {"--from " + temp.PathOf("ok.bmp") + " --out " + temp.PathOf("out/."), 1,
              "cannot write " + temp.PathOf("out/.")},
             {to + " --from", 2, "--from needs a value"}}) {
        EXPECT_EQ(Run(args), exitCode) << args;
        EXPECT_NE(errors.find(message), std::string::npos) << errors;
        EXPECT_TRUE(std::filesystem::is_empty(temp.PathOf("out"))) << args;
    }
}

TEST_F(Tool, FitsAnOddSizedPngInAWhiteFrame) {
    Bytes blue(300 * 70 * 3);
    for (size_t i = 0; i < blue.size(); i += 3) blue[i] = 10, blue[i + 1] = 20, blue[i + 2] = 200;
    ASSERT_NE(stbi_write_png(temp.PathOf("odd.png").c_str(), 300, 70, 3, blue.data(), 900), 0);
    ASSERT_EQ(Run("--from " + temp.PathOf("odd.png") + to), 0) << errors;
    const std::string file = Contents(out);
    const auto [status, width, height, pixels] = Decode(Bytes(file.begin(), file.end()));
    ASSERT_EQ(status, DibStatus::Loaded);
    EXPECT_EQ(std::pair(file[14], file[28]), std::pair('\x28', '\x18'));  // 40-byte header, 24 bits
    EXPECT_EQ(std::pair(width, height), std::pair(256, 64));              // the nearest powers of 2
    for (int corner : {0, 255, 63 * 256, 64 * 256 - 1})
        EXPECT_EQ(Bytes(&pixels[corner * 3], &pixels[corner * 3 + 3]), Bytes(3, 255));
    const uint8_t* middle = &pixels[(32 * 256 + 128) * 3];
    EXPECT_EQ(Bytes(middle, middle + 3), (Bytes{10, 20, 200}));
}

TEST_F(Tool, DrawsTheDemoPictureByteForByte) {
    ASSERT_EQ(Run(out), 0) << errors;
    EXPECT_EQ(Contents(out), Contents(KV17_SOURCE_DIR "/Data/texture.bmp"));
}

}  // namespace
