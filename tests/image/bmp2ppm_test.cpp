// The kv17-bmp2ppm tool as a user runs it.
#include "bmp_builder.h"
#include "temp_files.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

struct ToolRun {
    int exitCode;
    std::string errors;
};

class Bmp2PpmTest : public ::testing::Test {
protected:
    ToolRun Run(const std::string& arguments) {
        const std::string errors = temp.PathOf("stderr.txt");
        const std::string command =
            std::string("'") + KV17_BMP2PPM + "' " + arguments + " 2>'" + errors + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(errors)};
    }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempDirectory temp;
};

TEST_F(Bmp2PpmTest, WritesTopRowFirst) {
    const std::string in = temp.Write(
        "in.bmp", BuildBmp({.width = 2,
                            .height = 2,
                            .pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00, 0x07, 0x08,
                                       0x09, 0x0A, 0x0B, 0x0C, 0x00, 0x00}}));
    const std::string out = temp.PathOf("out.ppm");

    const ToolRun run = Run("'" + in + "' '" + out + "'");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(Contents(out), std::string("P6\n2 2\n255\n"
                                         "\x09\x08\x07\x0C\x0B\x0A"
                                         "\x03\x02\x01\x06\x05\x04",
                                         23));
}

TEST_F(Bmp2PpmTest, PrintsTheLoadersMessage) {
    const std::string bad =
        temp.Write("bad.bmp", BuildBmp({.headerSize = 108, .pixels = Bytes(80)}));
    const std::string empty = temp.Write("empty.bmp", {});
    const std::string out = temp.PathOf("out.ppm");

    const ToolRun badRun = Run("'" + bad + "' '" + out + "'");
    const ToolRun emptyRun = Run("'" + empty + "' '" + out + "'");

    EXPECT_EQ(badRun.exitCode, 1);
    EXPECT_EQ(badRun.errors, "Error: Unknown DIB file format.\n");
    EXPECT_EQ(emptyRun.exitCode, 1);
    EXPECT_EQ(emptyRun.errors, "Error: Failed to open DIB file " + empty + ".\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(Bmp2PpmTest, FailsOnUnreadableInputAndUnwritableOutput) {
    const std::string in = temp.Write("in.bmp", BuildBmp({.pixels = Bytes(4)}));

    const ToolRun missing = Run("'" + temp.PathOf("missing.bmp") + "' '" + temp.PathOf("o") + "'");
    const ToolRun unwritable = Run("'" + in + "' '" + temp.PathOf("no/such/dir.ppm") + "'");

    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.errors,
              "kv17-bmp2ppm: " + temp.PathOf("missing.bmp") + ": No such file or directory\n");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.errors,
              "kv17-bmp2ppm: cannot write " + temp.PathOf("no/such/dir.ppm") + "\n");
}

TEST_F(Bmp2PpmTest, ExplainsUsage) {
    const ToolRun run = Run("only-one-argument");

    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, "usage: kv17-bmp2ppm IN.bmp OUT.ppm\n");
}

}  // namespace
