// The whole program in-process on a headless display: the start question,
// the main loop, its keys and its ends, driven from the frame presented.
#include "demo_fixture.h"
#include "demo_main.h"

#include <functional>
#include <map>

namespace {

class MainLoopTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        frameCount = 0;
        kv17::seam::OnSwapBuffers([this](HDC) {
            ++swaps_;
            auto action = actions_.find(swaps_);
            if (action != actions_.end()) action->second();
            // A loop that never ends fails the test instead of hanging it.
            if (swaps_ > 100000) kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
        });
    }
    void TearDown() override {
        frameCount = 0;
        DemoTest::TearDown();
    }
    // Run `action` inside the swap that presents frame `swap`.
    void At(int swap, std::function<void()> action) { actions_[swap] = std::move(action); }
    void PressAt(int swap, int key) {
        At(swap, [key] {
            kv17::seam::PostKey(mainWindow, key, true);
            kv17::seam::PostKey(mainWindow, key, false);
        });
    }
    int Run() { return DemoMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW); }

    int swaps_ = 0;
    std::map<int, std::function<void()>> actions_;
};

TEST_F(MainLoopTest, AnswerNoRunsWindowedAndEscEndsWithOneUnpresentedFrame) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(3, [] { kv17::seam::PostKey(mainWindow, VK_ESCAPE, true); });
    EXPECT_EQ(Run(), 0);
    ASSERT_GE(kv17::seam::MessageBoxesShown().size(), 1u);
    const auto& question = kv17::seam::MessageBoxesShown()[0];
    EXPECT_EQ(question.text, "Would You Like To Run In Fullscreen Mode?");
    EXPECT_EQ(question.caption, "Start FullScreen?");
    EXPECT_EQ(question.flags, 0x24u);
    EXPECT_EQ(kv17::seam::MessageBoxesShown().size(), 1u);
    EXPECT_FALSE(isFullscreen);
    EXPECT_EQ(swaps_, 3);
    EXPECT_EQ(frameCount, 4);
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
    EXPECT_EQ(mainWindow, nullptr);
}

TEST_F(MainLoopTest, AnswerYesRunsFullScreenWhenTheModeExists) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::AnswerMessageBoxes({IDYES});
    bool fullscreen = false;
    At(2, [&] {
        fullscreen = kv17::seam::DescribeWindow(mainWindow).fullscreen;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(fullscreen);
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
}

TEST_F(MainLoopTest, RefusedModeAnsweredNoEndsWithExitCodeOne) {
    kv17::seam::AnswerMessageBoxes({IDYES, IDNO, IDOK});
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(kv17::seam::MessageBoxesShown().size(), 3u);
    EXPECT_EQ(kv17::seam::MessageBoxesShown()[2].text, "Program Will Now Close.");
    EXPECT_EQ(swaps_, 0);
}

TEST_F(MainLoopTest, FailedOpenEndsWithExitCodeOne) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    kv17::seam::FailCall("wglCreateContext");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(kv17::seam::MessageBoxesShown().back().text, "Can't Create A GL Rendering Context.");
}

TEST_F(MainLoopTest, CloseButtonQuitsWithCodeZeroAndDrawsNoMoreFrames) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(2, [] { kv17::seam::PostCloseButton(mainWindow); });
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(swaps_, 2);
    EXPECT_EQ(frameCount, 2);
}

TEST_F(MainLoopTest, ExitCodeIsTheQuitMessageCode) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(2, [] { PostQuitMessage(3); });
    EXPECT_EQ(Run(), 3);
}

TEST_F(MainLoopTest, PassesThatHandleMessagesDoNoFrameWork) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    float stepsAfterTwo = 0;
    At(2, [&] {
        stepsAfterTwo = spinStepX;
        for (int i = 0; i < 100; ++i) kv17::seam::PostKey(mainWindow, 'A', i % 2 == 0);
    });
    int framesAtThree = 0;
    float stepsAtThree = 0;
    At(3, [&] {
        framesAtThree = frameCount;
        stepsAtThree = spinStepX;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(Run(), 0);
    // A hundred messages in between, yet only one frame and one update.
    EXPECT_EQ(framesAtThree, 3);
    EXPECT_EQ(stepsAtThree, stepsAfterTwo * 1.01f);
}

TEST_F(MainLoopTest, CameraKeysMoveTheDepthOnEveryFramePass) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(1, [] {
        kv17::seam::PostKey(mainWindow, VK_PRIOR, true);
        kv17::seam::PostKey(mainWindow, VK_NEXT, true);
    });
    At(2, [] { kv17::seam::PostKey(mainWindow, VK_NEXT, false); });
    float depth = 0;
    At(5, [&] {
        depth = viewDepth;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(Run(), 0);
    // Pass 1 saw no key yet; pass 2 both (PageUp first); passes 3 and 4 PageUp.
    float expected = -5.0f;
    expected = expected - 0.02f;
    expected = expected + 0.02f;
    expected = expected - 0.02f;
    expected = expected - 0.02f;
    EXPECT_EQ(depth, expected);
}

TEST_F(MainLoopTest, MinimisedWindowKeepsTheRhythmButDrawsNothing) {
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(2, [] { kv17::seam::PostMinimize(mainWindow); });
    int framesWhileMinimised = -1;
    bool activeWhileMinimised = true;
    At(10, [&] {
        framesWhileMinimised = frameCount;
        activeWhileMinimised = isActive;
        kv17::seam::PostRestore(mainWindow);
    });
    int framesAfterRestore = -1;
    At(13, [&] {
        framesAfterRestore = frameCount;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(activeWhileMinimised);
    EXPECT_EQ(framesWhileMinimised, 2);
    EXPECT_EQ(framesAfterRestore, 5);
    float steps = 0.1f;
    for (int update = 0; update < 13; ++update) steps *= 1.01f;
    EXPECT_EQ(spinStepX, steps);  // 13 updates though only 5 frames were drawn
}

TEST_F(MainLoopTest, F1TogglesModeOnceAndCarriesTheStateAcross) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::AnswerMessageBoxes({IDNO});
    kv17::seam::RecordCalls();
    At(2, [] {
        viewDepth = -7.0f;
        kv17::seam::PostKey(mainWindow, VK_F1, true);  // held: toggles once
    });
    bool fullscreenAfter = false;
    bool f1After = true;
    float depthAfter = 0;
    At(5, [&] {
        fullscreenAfter = kv17::seam::DescribeWindow(mainWindow).fullscreen;
        f1After = keyDown[VK_F1];
        depthAfter = viewDepth;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(isFullscreen);
    EXPECT_TRUE(fullscreenAfter);
    EXPECT_FALSE(f1After);
    EXPECT_EQ(depthAfter, -7.0f);
    EXPECT_EQ(frameCount, 6);
    float steps = 0.1f;
    for (int update = 0; update < 5; ++update) steps *= 1.01f;
    EXPECT_EQ(spinStepX, steps);
    const auto& calls = kv17::seam::RecordedCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "RegisterClassA"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "UnregisterClassA"), 2);
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
}

TEST_F(MainLoopTest, FailedReopenOnF1EndsWithExitCodeOne) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::AnswerMessageBoxes({IDNO});
    At(2, [] {
        kv17::seam::FailCall("SetPixelFormat");
        kv17::seam::PostKey(mainWindow, VK_F1, true);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(kv17::seam::MessageBoxesShown().back().text, "Can't Set The PixelFormat.");
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
}

}  // namespace
