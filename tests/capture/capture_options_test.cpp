// kv17-capture's command line: what it makes of good arguments; each bad one refused with a reason.
#include "capture_options.h"
#include "win32_api.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace {

// Parses `line` split at spaces ('' an empty argument): taken, or when not `good` refused with why.
CaptureOptions Parsed(const std::string& line, bool haveDisplay = false, bool good = true) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word == "''" ? "" : word);
    CaptureOptions options;
    std::string error;
    EXPECT_EQ(ParseCaptureOptions(args, haveDisplay, &options, &error), good) << line;
    EXPECT_EQ(error.empty(), good) << line << ": " << error;
    return options;
}

TEST(CaptureOptionsTest, TakesGoodArgumentsAndRefusesEachBadOneWithAReason) {
    const CaptureOptions options = Parsed(
        "--frames 1001,5-7,1,6,1 --fullscreen yes --shrink 8 --keys "
        "pageup:200-300,f1:600,pagedown:2");
    EXPECT_EQ(options.frames, (std::vector<int>{1, 5, 6, 7, 1001}));
    EXPECT_EQ(options.keys,
              (std::vector<KeyHold>{{VK_PRIOR, 200, 300}, {VK_F1, 600, 600}, {VK_NEXT, 2, 2}}));
    EXPECT_EQ(std::tuple(options.fullscreen, options.headless, options.shrink),
              std::tuple(true, true, 8));  // headless: there is no display
    EXPECT_FALSE(Parsed("--frames 1", true).headless);
    EXPECT_TRUE(Parsed("--headless --frames 1", true).headless);
    EXPECT_FALSE(Parsed("--on-display --frames 1").headless);
    EXPECT_EQ(Parsed("--video clip.WebM").fps, 60);                       // no frame list needed
    EXPECT_EQ(Parsed("--frames=1-60000,1-60000").frames.size(), 60000u);  // overlaps count once
    EXPECT_EQ(Parsed("--video clip.gif").fps, 50);        // GIF times are in 1/100 s
    EXPECT_TRUE(Parsed("--frames 1 -h --verbose").help);  // whatever follows
    // Each row: a start and the endings that make it wrong.
    const std::pair<std::string, std::vector<std::string>> bad[] = {
        {"", {"", "--frames 1 --verbose", "--video clip.gif --fps 60"}},
        {"--frames",
         {"", "''", "0", "-3", "5-3", "1,,2", "1x", "99999999999", "2147483647", "1000001",
          "1-200000", "1-60000,50001-110000"}},
        {"--frames 1",
         {"--fullscreen maybe", "--out ''", "--shrink 0", "--shrink 9", "--keys space:5",
          "--keys f1", "--keys f1:1", "--frames 2", "--shrink=2 --shrink 2"}},
        {"--frames 5 --keys", {"pageup:3-6", "f1:6"}},  // past the last frame
        {"--video", {"clip.avi", ".mp4"}},
        {"--video clip.mp4", {"--frames 1,3", "--out shots", "--fps 0", "--fps 61"}}};
    for (const auto& [start, endings] : bad)
        for (const std::string& ending : endings) Parsed(start + " " + ending, false, false);
}

}  // namespace
