// The timeline driven by the real main loop: the rhythm's first flash, and
// an F1 rebuild in the pyramid phase.
#include "demo_main.h"
#include "frame_timeline.h"
#include "render_state.h"
#include "scene_test_support.h"

#include <algorithm>
#include <functional>

namespace {

class DemoTimelineTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        ResetSceneVariables();
    }
    void TearDown() override {
        ResetSceneVariables();
        DemoTest::TearDown();
    }
    // Runs the demo answering No, calling `atFrame` right before each frame
    // is presented; Esc is pressed when it returns false.
    int Run(std::function<bool()> atFrame) {
        kv17::seam::AnswerMessageBoxes({IDNO});
        kv17::seam::OnSwapBuffers([&](HDC) {
            if (!atFrame() || frameCount > 5000) kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
        });
        return DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
    }
};

Rgb ReadPixel(int x, int y) {
    uint8_t rgb[3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

TEST_F(DemoTimelineTest, FromTheStartTheFirstFlashIsFrame455) {
    std::vector<int> whiteFrames;
    bool pendingAfterFlash = true;
    EXPECT_EQ(Run([&] {
                  // A corner the cube never reaches: white only in a flash.
                  if (ColorNear(ReadPixel(5, 474), {255, 255, 255}, VisualTolerance())) {
                      whiteFrames.push_back(frameCount);
                      pendingAfterFlash = flashPending;
                  }
                  return frameCount < 460;
              }),
              0);
    EXPECT_EQ(whiteFrames, std::vector<int>{455});
    EXPECT_FALSE(pendingAfterFlash);
}

TEST_F(DemoTimelineTest, F1InThePyramidPhaseResumesWithPyramidsOnAFreshScene) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    WriteQuadrantBitmap(directory_ / "Data" / "texture.bmp");
    frameCount = 1200;
    kv17::seam::RecordCalls();
    bool checked = false;
    EXPECT_EQ(Run([&] {
                  // F1 is handled on the pass after this one: frame 1202 is
                  // still presented on the first window, 1203 on the new one.
                  if (frameCount == 1201) kv17::seam::PostKey(mainWindow, VK_F1, true);
                  if (frameCount < 1203) return true;
                  checked = true;
                  const auto& calls = kv17::seam::RecordedCalls();
                  EXPECT_EQ(std::count(calls.begin(), calls.end(), "wglCreateContext"), 2);
                  EXPECT_EQ(std::count(calls.begin(), calls.end(), "wglDeleteContext"), 1);
                  EXPECT_TRUE(isFullscreen);
                  EXPECT_EQ(yawRamp, 1.0f + 3 * 1.5f);
                  GLint bound = 0;
                  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
                  EXPECT_EQ((GLuint)bound, textures[2]);
                  for (GLuint texture : textures) EXPECT_TRUE(glIsTexture(texture));
                  EXPECT_TRUE(glIsList(fontBase + 'V'));
                  // The second and third pyramids, at the yaw of this frame.
                  std::vector<uint8_t> frame = ReadFrame();
                  for (FaceMix mix : {kNearApex, kNearGreen, kNearBlue}) {
                      EXPECT_TRUE(PyramidFaceShows(frame, -1.5, -1.0, -12.0, yawRamp, mix));
                      EXPECT_TRUE(PyramidFaceShows(frame, 1.5, 1.0, -12.0, yawRamp, mix));
                  }
                  return false;
              }),
              0);
    EXPECT_TRUE(checked);
}

}  // namespace
