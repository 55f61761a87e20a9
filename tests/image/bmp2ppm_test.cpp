// kv17-bmp2ppm as a user runs it: the exit status, its first lines, the files it leaves.
#include "test_files.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct ToolRun {
    const char* name;
    const char* command;  // run by sh in the folder holding in.bmp, big.bmp and bad.bmp
    int status;
    const char* lines;     // the first lines of stdout and stderr, joined by "|"
    std::string ppm = "";  // out.ppm, where it must be written
};

// clang-format off
const ToolRun kRuns[] = {
    {"TopRowFirst", "T in.bmp out.ppm", 0, "|",
     std::string("P6\n2 2\n255\n\x09\x08\x07\x0C\x0B\x0A\x03\x02\x01\x06\x05\x04", 23)},
    {"Refused", "T bad.bmp out.ppm", 1, "|Error: Unknown DIB file format."},
    {"Help", "T --help", 0, "usage: kv17-bmp2ppm IN.bmp OUT.ppm|"},
    {"Misuse", "T in.bmp", 2, "|usage: kv17-bmp2ppm IN.bmp OUT.ppm"},
    {"Missing", "T no.bmp out.ppm", 1, "|kv17-bmp2ppm: no.bmp: No such file or directory"},
    {"OutputIsInput", "T in.bmp ./in.bmp", 2,
     "|kv17-bmp2ppm: ./in.bmp: the output would overwrite the input"},
    // Writes fail past 512 bytes: nothing, not even the temporary file, stays.
    {"WriteFails", "trap '' XFSZ; ulimit -f 1; T big.bmp out.ppm", 1,
     "|kv17-bmp2ppm: cannot write out.ppm: File too large"},
};
// clang-format on

TEST(Bmp2PpmTest, RunsAsAUserExpects) {
    for (const ToolRun& row : kRuns) {
        SCOPED_TRACE(row.name);
        TempDirectory temp;
        const std::string in = temp.Write("in.bmp", ExampleBmp());
        temp.Write("bad.bmp", BuildBmp({.headerSize = 108}));
        temp.Write("big.bmp", BuildBmp({.width = 32, .height = 32, .pixels = Bytes(3072)}));
        const std::string command = "cd '" + temp.PathOf("") +
                                    "' && T() { '" KV17_BMP2PPM "' \"$@\"; } && (" + row.command +
                                    ") >out 2>err";
        const int status = std::system(command.c_str());

        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.status);
        EXPECT_EQ(
            FirstLine(Contents(temp.PathOf("out"))) + "|" + FirstLine(Contents(temp.PathOf("err"))),
            row.lines);
        // The three bitmaps and the two streams, and out.ppm only where it was written.
        const auto files = std::filesystem::directory_iterator(temp.PathOf(""));
        EXPECT_EQ(std::distance(begin(files), end(files)), row.ppm.empty() ? 5 : 6);
        EXPECT_EQ(Contents(temp.PathOf("out.ppm")), row.ppm);
        const Bytes example = ExampleBmp();
        EXPECT_EQ(Contents(in), std::string(example.begin(), example.end()));
    }
}

}  // namespace
