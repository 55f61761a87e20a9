// The command line of kv17-capture: frame lists, key scripts, defaults and
// every way an argument can be malformed.
#include "capture_options.h"
#include "win32_api.h"

#include <gtest/gtest.h>

namespace {

bool Parse(std::vector<std::string> args, CaptureOptions* options, bool haveDisplay = false) {
    std::string error;
    bool ok = ParseCaptureOptions(args, haveDisplay, options, &error);
    EXPECT_EQ(ok, error.empty()) << error;
    return ok;
}

TEST(CaptureOptionsTest, FramesSortedRangesExpandedRepeatsDroppedVideoHelp) {
    CaptureOptions options;
    ASSERT_TRUE(Parse({"--frames", "1001,5-7,1,6,1"}, &options));
    EXPECT_EQ(options.frames, (std::vector<int>{1, 5, 6, 7, 1001}));
    EXPECT_EQ(options.outDir, "shots");
    EXPECT_FALSE(options.fullscreen);
    EXPECT_TRUE(options.keys.empty());
    EXPECT_EQ(options.shrink, 1);
    EXPECT_TRUE(options.videoPath.empty());

    options = {};  // a video: frames from 1 until the greeting has left
    ASSERT_TRUE(Parse({"--video", "clip.WebM"}, &options));
    EXPECT_EQ(options.videoPath, "clip.WebM");
    EXPECT_EQ(options.fps, 60);
    EXPECT_TRUE(options.frames.empty());
    options = {};  // GIF's times are in hundredths of a second
    ASSERT_TRUE(Parse({"--video", "clip.gif"}, &options));
    EXPECT_EQ(options.fps, 50);
    options = {};
    ASSERT_TRUE(Parse({"--frames", "1", "-h", "--verbose"}, &options));
    EXPECT_TRUE(options.help);
}

TEST(CaptureOptionsTest, HeadlessByDefaultOnlyWithoutADisplay) {
    CaptureOptions options;
    ASSERT_TRUE(Parse({"--frames", "1"}, &options, false));
    EXPECT_TRUE(options.headless);
    options = {};
    ASSERT_TRUE(Parse({"--frames", "1"}, &options, true));
    EXPECT_FALSE(options.headless);
    options = {};
    ASSERT_TRUE(Parse({"--headless", "--frames", "1"}, &options, true));
    EXPECT_TRUE(options.headless);
    options = {};
    ASSERT_TRUE(Parse({"--on-display", "--frames", "1"}, &options, false));
    EXPECT_FALSE(options.headless);
}

TEST(CaptureOptionsTest, KeyScriptHoldsKeysOverFrameRanges) {
    CaptureOptions options;
    ASSERT_TRUE(Parse({"--frames", "700", "--keys", "pageup:200-300,f1:600,pagedown:2",
                       "--fullscreen", "yes", "--out", "strip", "--shrink", "8"},
                      &options));
    ASSERT_EQ(options.keys.size(), 3u);
    EXPECT_EQ(options.keys[0].virtualKey, VK_PRIOR);
    EXPECT_EQ(options.keys[0].firstFrame, 200);
    EXPECT_EQ(options.keys[0].lastFrame, 300);
    EXPECT_EQ(options.keys[1].virtualKey, VK_F1);
    EXPECT_EQ(options.keys[1].firstFrame, 600);
    EXPECT_EQ(options.keys[1].lastFrame, 600);
    EXPECT_EQ(options.keys[2].virtualKey, VK_NEXT);
    EXPECT_TRUE(options.fullscreen);
    EXPECT_EQ(options.outDir, "strip");
    EXPECT_EQ(options.shrink, 8);
}

TEST(CaptureOptionsTest, MalformedArgumentsAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                          // no frames
        {"--frames"},                                // no value
        {"--frames", ""},                            // empty list
        {"--frames", "0"},                           // frames count from 1
        {"--frames", "-3"},                          // no first frame
        {"--frames", "5-3"},                         // backwards
        {"--frames", "1,,2"},                        // empty item
        {"--frames", "1x"},                          // trailing junk
        {"--frames", "99999999999"},                 // beyond int
        {"--frames", "1-200000"},                    // too many files
        {"--frames", "1", "--fullscreen", "maybe"},  // yes or no only
        {"--frames", "1", "--out", ""},              // no directory
        {"--frames", "1", "--keys", "space:5"},      // unknown key
        {"--frames", "1", "--keys", "f1"},           // no frames for the key
        {"--frames", "1", "--keys", "f1:1"},         // frame 1 is too early
        {"--frames", "1", "--shrink", "0"},          // at least 1
        {"--frames", "1", "--shrink", "9"},          // at most 8
        {"--frames", "1", "--verbose"},              // unknown flag
        {"--frames", "1000001"},                     // past the last frame accepted
        {"--frames", "2147483647"},                  // INT_MAX
        {"--frames", "5", "--keys", "pageup:3-6"},   // the key outlasts the frames
        {"--frames", "5", "--keys", "f1:6"},         // a key after the last frame
        {"--video", "clip.avi"},                     // no such video format
        {"--video", ".mp4"},                         // no name before the extension
        {"--video", "clip.mp4", "--frames", "1,3"},  // a video has one range
        {"--video", "clip.mp4", "--out", "shots"},   // PNG folder for a video
        {"--video", "clip.mp4", "--fps", "0"},       // 1 to 60
        {"--video", "clip.mp4", "--fps", "61"},
        {"--video", "clip.gif", "--fps", "60"},  // uneven in hundredths of a second
    };
    for (const auto& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(ParseCaptureOptions(args, false, &options, &error))
            << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
    }
}

}  // namespace
