// The kv17-bmp2ppm tool as a user runs it.
#include "bmp_builder.h"
#include "temp_files.h"

#include <sys/wait.h>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Bmp2PpmTest : public ::testing::Test {
protected:
    // Runs the tool on IN and OUT; returns its exit code, its stderr in `errors`.
    int Run(const std::string& in, const std::string& out, std::string* errors) {
        const std::string errorFile = temp.PathOf("stderr.txt");
        const std::string command =
            std::string("'") + KV17_BMP2PPM + "' " + in + " " + out + " 2>'" + errorFile + "'";
        const int status = std::system(command.c_str());
        *errors = Contents(errorFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDirectory temp;
    const std::string out = temp.PathOf("out.ppm");
    std::string errors;
};

TEST_F(Bmp2PpmTest, WritesTopRowFirst) {
    const std::string in =
        temp.Write("in.bmp", BuildBmp({.width = 2,
                                       .height = 2,
                                       .pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0, 0x07,
                                                  0x08, 0x09, 0x0A, 0x0B, 0x0C, 0, 0}}));

    EXPECT_EQ(Run(in, out, &errors), 0);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(Contents(out),
              std::string("P6\n2 2\n255\n\x09\x08\x07\x0C\x0B\x0A\x03\x02\x01\x06\x05\x04", 23));
}

TEST_F(Bmp2PpmTest, FailsWithTheLoadersMessage) {
    const std::string unknown = temp.Write("bad.bmp", BuildBmp({.headerSize = 108}));
    const std::string empty = temp.Write("empty.bmp", {});

    EXPECT_EQ(Run(unknown, out, &errors), 1);
    EXPECT_EQ(errors, "Error: Unknown DIB file format.\n");
    EXPECT_EQ(Run(empty, out, &errors), 1);
    EXPECT_EQ(errors, "Error: Failed to open DIB file " + empty + ".\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(Bmp2PpmTest, FailsOnUnreadableInputUnwritableOutputAndMisuse) {
    const std::string in = temp.Write("in.bmp", BuildBmp({.pixels = Bytes(4)}));
    const std::string missing = temp.PathOf("missing.bmp");
    const std::string unwritable = temp.PathOf("no/such/dir.ppm");

    EXPECT_EQ(Run(missing, out, &errors), 1);
    EXPECT_EQ(errors, "kv17-bmp2ppm: " + missing + ": No such file or directory\n");
    EXPECT_EQ(Run(in, unwritable, &errors), 1);
    EXPECT_EQ(errors, "kv17-bmp2ppm: cannot write " + unwritable + ": No such file or directory\n");
    EXPECT_EQ(Run(in, "", &errors), 2);
    EXPECT_EQ(errors.rfind("usage: kv17-bmp2ppm IN.bmp OUT.ppm\n", 0), 0u);
}

}  // namespace
