// Where the greeting line shows: drawn last on every frame, from the
// camera translation in the cube phase.
#include "frame_timeline.h"
#include "render_state.h"
#include "scene_test_support.h"

namespace {

// Pixels with every channel above 200 in the given window rectangle.
int BrightPixels(const std::vector<uint8_t>& frame, int left, int bottom, int right, int top) {
    int bright = 0;
    for (int y = bottom; y < top; ++y) {
        for (int x = left; x < right; ++x) {
            Rgb c = PixelAt(frame, x, y);
            bright += c.r > 200 && c.g > 200 && c.b > 200;
        }
    }
    return bright;
}

using GreetingLineTest = SceneTest;

TEST_F(GreetingLineTest, AfterAHundredFramesTheLineStartsInTheMiddleAtTheBottom) {
    ASSERT_TRUE(InitScene());
    // A cube that stays square-on, clear of the line's band.
    spinStepX = 0.0f;
    spinStepY = 0.0f;
    while (frameCount < 100) RenderFrame();
    // Moved left by 100 x 0.05 from x = 5: it starts on the view axis, its
    // baseline 2 units down at depth -5 and its glyphs up to 1 unit high.
    const ScreenPoint baseline = Project(0.0, -2.0, -5.0);
    const ScreenPoint capHeight = Project(0.0, -1.3, -5.0);
    const int bottom = (int)baseline.y + 2, top = (int)capHeight.y - 2;
    ASSERT_LT(bottom, top);
    std::vector<uint8_t> frame = ReadFrame();
    // Glyphs, white under white corner texels, right of the middle only.
    EXPECT_EQ(BrightPixels(frame, 0, bottom, (int)baseline.x - 4, top), 0);
    EXPECT_GT(BrightPixels(frame, (int)baseline.x + 4, bottom, 640, top), 1000);

    // Fifty frames on, the line has moved 2.5 units left: into the left half.
    while (frameCount < 150) RenderFrame();
    EXPECT_GT(BrightPixels(ReadFrame(), 0, bottom, (int)baseline.x - 4, top), 1000);
}

}  // namespace
