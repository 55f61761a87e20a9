// RenderFrame on a real Mesa context, called directly: the cube frames and
// the flash, the switch to the pyramids, both ramps, the end of the count.
#include "frame_timeline.h"
#include "render_state.h"
#include "scene_test_support.h"

#include <climits>

namespace {

class FrameTimelineTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(InitScene());
    }
    void RenderUntil(int frame) {
        while (frameCount < frame) RenderFrame();
    }
};

// Where the front face at angle 0 shows the texture coordinate (s, t).
ScreenPoint FrontFacePoint(double s, double t) {
    return Project(-1.0 + 2.0 * s, -1.0 + 2.0 * t, -5.0 + 1.0);
}

// The four quadrants of the texture, each probed at its middle.
void ExpectFrontFaceSquareOn(const std::vector<uint8_t>& frame) {
    const struct {
        double s, t;
        Rgb color;
    } quadrants[] = {{0.25, 0.25, kQuadrantRed},
                     {0.75, 0.25, kQuadrantGreen},
                     {0.25, 0.75, kQuadrantBlue},
                     {0.75, 0.75, kQuadrantYellow}};
    for (const auto& quadrant : quadrants) {
        ScreenPoint at = FrontFacePoint(quadrant.s, quadrant.t);
        EXPECT_TRUE(ColorNear(RegionColor(frame, (int)at.x, (int)at.y, 2), quadrant.color,
                              VisualTolerance()))
            << "s " << quadrant.s << ", t " << quadrant.t;
    }
    // The face's left edge stands where the projection puts x = -1.
    ScreenPoint edge = FrontFacePoint(0.0, 0.5);
    EXPECT_TRUE(ColorNear(PixelAt(frame, (int)edge.x - 2, 240), {0, 0, 0}, VisualTolerance()));
    EXPECT_FALSE(ColorNear(PixelAt(frame, (int)edge.x + 2, 240), {0, 0, 0}, VisualTolerance()));
}

bool IsWhite(const Rgb& c) { return ColorNear(c, {255, 255, 255}, VisualTolerance()); }

TEST_F(FrameTimelineTest, FirstFrameDrawsTheCubeAtAngleZeroThenTurnsIt) {
    spinStepX = 30.0f;
    spinStepY = 20.0f;
    ASSERT_TRUE(RenderFrame());
    EXPECT_EQ(frameCount, 1);
    ExpectFrontFaceSquareOn(ReadFrame());
    EXPECT_EQ(cubeAngleX, 30.0f);
    EXPECT_EQ(cubeAngleY, 20.0f);

    // Turned 30 degrees about x, the face no longer shows square-on.
    RenderFrame();
    ScreenPoint red = FrontFacePoint(0.25, 0.25);
    EXPECT_FALSE(ColorNear(RegionColor(ReadFrame(), (int)red.x, (int)red.y, 2), kQuadrantRed,
                           VisualTolerance()));
    EXPECT_EQ(cubeAngleX, 60.0f);
}

TEST_F(FrameTimelineTest, AFlashRequestIsServedByTheNextCubeFrameOnly) {
    RenderFrame();
    flashPending = true;
    RenderFrame();
    std::vector<uint8_t> flash = ReadFrame();
    // The 10 x 10 square in the cube's plane fills the whole view.
    for (auto [x, y] : {std::pair{320, 240}, {5, 5}, {634, 5}, {5, 474}, {634, 474}})
        EXPECT_TRUE(IsWhite(PixelAt(flash, x, y))) << x << ", " << y;
    EXPECT_FALSE(flashPending);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // The angles advance on the flash frame as on any cube frame.
    EXPECT_EQ(cubeAngleX, 0.1f + 0.1f);

    RenderFrame();
    std::vector<uint8_t> cube = ReadFrame();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(IsWhite(PixelAt(cube, 5, 5)));
    ScreenPoint red = FrontFacePoint(0.25, 0.25);
    EXPECT_TRUE(
        ColorNear(RegionColor(cube, (int)red.x, (int)red.y, 2), kQuadrantRed, VisualTolerance()));
}

TEST_F(FrameTimelineTest, AFlashRequestMadeInThePyramidPhaseStaysUnserved) {
    frameCount = 1200;
    flashPending = true;
    RenderFrame();
    EXPECT_TRUE(flashPending);
    EXPECT_TRUE(ColorNear(PixelAt(ReadFrame(), 5, 474), {0, 0, 0}, VisualTolerance()));
}

TEST_F(FrameTimelineTest, FramesUpTo1000DrawTheCubeAndTheNextOneThePyramids) {
    frameCount = 998;
    for (int frame : {999, 1000}) {
        RenderFrame();
        EXPECT_EQ(frameCount, frame);
        ScreenPoint red = FrontFacePoint(0.25, 0.25);
        EXPECT_TRUE(ColorNear(RegionColor(ReadFrame(), (int)red.x, (int)red.y, 2), kQuadrantRed,
                              VisualTolerance()))
            << "frame " << frame;
        EXPECT_EQ(yawRamp, 1.0f);
        EXPECT_EQ(viewDepth, -5.0f);
    }
    EXPECT_EQ(cubeAngleX, 0.1f + 0.1f);

    // The camera keys left the first pyramid far back, out of the way.
    viewDepth = -30.0f;
    RenderFrame();
    EXPECT_EQ(frameCount, 1001);
    EXPECT_EQ(cubeAngleX, 0.1f + 0.1f);
    EXPECT_EQ(yawRamp, 2.5f);
    EXPECT_EQ(pyramidAngle, 2.5f);
    EXPECT_EQ(pyramidAxisX, 0.0f);
    EXPECT_EQ(pyramidAxisY, 1.0f);
    EXPECT_EQ(pyramidAxisZ, 0.0f);
    EXPECT_EQ(pyramidPosX, 1.5f);
    EXPECT_EQ(pyramidPosY, 1.0f);
    EXPECT_EQ(viewDepth, -12.0f);

    // First: unturned at (0, 0, -30). Second and third: 2.5 degrees about y
    // at (-1.5, -1, -12) and (1.5, 1, -12). Red apex, green and blue base.
    std::vector<uint8_t> frame = ReadFrame();
    for (FaceMix mix : {kNearApex, kNearGreen, kNearBlue}) {
        EXPECT_TRUE(PyramidFaceShows(frame, 0.0, 0.0, -30.0, 0.0, mix));
        EXPECT_TRUE(PyramidFaceShows(frame, -1.5, -1.0, -12.0, 2.5, mix));
        EXPECT_TRUE(PyramidFaceShows(frame, 1.5, 1.0, -12.0, 2.5, mix));
    }
}

TEST_F(FrameTimelineTest, TheYawRampThenTheTiltRampThenStillness) {
    frameCount = 1000;
    RenderUntil(1000 + 479);
    EXPECT_EQ(yawRamp, 719.5f);
    EXPECT_EQ(pyramidAngle, 719.5f);
    EXPECT_EQ(tiltRamp, 1.0f);

    // Pyramid frame 480: the yaw passes 720 and the tilt overwrites it.
    RenderFrame();
    EXPECT_EQ(yawRamp, 721.0f);
    EXPECT_EQ(tiltRamp, 1.01f);
    EXPECT_EQ(pyramidAngle, 1.01f);
    EXPECT_EQ(pyramidAxisX, 0.0f);
    EXPECT_EQ(pyramidAxisY, 1.0f);
    EXPECT_EQ(pyramidAxisZ, 1.0f);

    int tiltSteps = 1;
    float beforeLast = 0.0f;
    for (float previous = tiltRamp; frameCount < 2100; previous = tiltRamp) {
        RenderFrame();
        if (tiltRamp != previous) {
            ++tiltSteps;
            beforeLast = previous;
            EXPECT_EQ(pyramidAngle, tiltRamp);
        }
    }
    EXPECT_EQ(tiltSteps, 522);
    EXPECT_LE(beforeLast, 180.0f);
    // About 180.2009: each product rounded from double. A float factor
    // would end at 180.2001.
    EXPECT_EQ(tiltRamp, 0x1.6866dap+7f);
    EXPECT_EQ(yawRamp, 721.0f);
    EXPECT_EQ(pyramidAngle, tiltRamp);
}

TEST_F(FrameTimelineTest, AfterTheRampsOnlyTheLineMoves) {
    frameCount = 2001;
    yawRamp = 721.0f;
    tiltRamp = 0x1.6866dap+7f;
    pyramidAngle = tiltRamp;
    pyramidAxisY = 1.0f;
    pyramidAxisZ = 1.0f;
    RenderUntil(2010);
    std::vector<uint8_t> early = ReadFrame();
    const float offsetEarly = scrollOffset;
    RenderUntil(2100);
    std::vector<uint8_t> late = ReadFrame();

    EXPECT_EQ(pyramidAngle, tiltRamp);
    EXPECT_EQ(pyramidAxisY, 1.0f);
    EXPECT_EQ(pyramidAxisZ, 1.0f);
    EXPECT_EQ(pyramidPosX, 1.5f);
    EXPECT_EQ(pyramidPosY, 1.0f);
    EXPECT_EQ(yawRamp, 721.0f);
    EXPECT_EQ(tiltRamp, 0x1.6866dap+7f);
    EXPECT_GT(scrollOffset, offsetEarly);
    // Around the second pyramid, well away from the line, every pixel stays.
    ScreenPoint second = Project(-1.5, -1.0, -12.0);
    int lit = 0;
    for (int y = (int)second.y - 60; y < (int)second.y + 60; ++y) {
        for (int x = (int)second.x - 60; x < (int)second.x + 60; ++x) {
            Rgb a = PixelAt(early, x, y), b = PixelAt(late, x, y);
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << ", " << y;
            lit += a.r + a.g + a.b > 0;
        }
    }
    EXPECT_GT(lit, 1000);
}

TEST_F(FrameTimelineTest, TheFrameCountStopsAtIntMax) {
    frameCount = INT_MAX - 1;
    RenderFrame();
    EXPECT_EQ(frameCount, INT_MAX);
    RenderFrame();
    EXPECT_EQ(frameCount, INT_MAX);
    // Still pyramid frames: both advanced the yaw ramp.
    EXPECT_EQ(yawRamp, 4.0f);
}

}  // namespace
