// The whole program in-process on a headless display: the start question,
// the main loop, its keys and its ends, driven from the frames presented.
#include "demo_fixture.h"

#include <GL/gl.h>

#include <csignal>
#include <tuple>

namespace {

using MainLoopTest = DemoTest;

bool PixelIsWhite(int x, int y) {
    unsigned char rgb[3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] > 230 && rgb[1] > 230 && rgb[2] > 230;
}

TEST_F(MainLoopTest, OnlyNoToTheQuestionOpensWindowed) {
    for (int answer : {IDYES, IDNO, 2 /* IDCANCEL */}) {
        TearDown();
        SetUp();
        kv17::seam::OfferDisplayMode(640, 480, 16);
        bool fullscreen = false;
        At(1, [&] {
            fullscreen = kv17::seam::DescribeWindow(mainWindow).fullscreen;
            kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
        });
        EXPECT_EQ(RunDemo({answer}), 0);
        EXPECT_EQ(fullscreen, answer != IDNO) << answer;
    }
}

struct Ending {
    const char* what;
    std::function<void(DemoTest*)> arrange;
    std::vector<int> answers;
    int exitCode, swaps;  // frames presented
    const char* lastBox;
    int frames = -1;  // frames drawn, when not `swaps`
};

TEST_F(MainLoopTest, EveryEndGivesItsExitCode) {
    const char* kQuestion = "Would You Like To Run In Fullscreen Mode?";
    auto at2 = [](std::function<void()> action) {
        return [action](DemoTest* t) { t->At(2, action); };
    };
    // clang-format off
    const Ending rows[] = {
        // Esc: the frame drawn in that pass is never presented.
        {"Esc", [](DemoTest* t) { t->EscAt(3); }, {IDNO}, 0, 3, kQuestion, 4},
        {"refused mode, then No", [](DemoTest*) {}, {IDYES, IDNO}, 1, 0, "Program Will Now Close."},
        {"failed open", [](DemoTest*) { kv17::seam::FailCall("wglCreateContext"); }, {IDNO}, 1, 0,
         "Can't Create A GL Rendering Context."},
        {"quit code", at2([] { PostQuitMessage(3); }), {IDNO}, 3, 2, kQuestion},
        {"close box", at2([] { kv17::seam::PostCloseButton(mainWindow); }), {IDNO}, 0, 2, kQuestion},
        {"hang-up", at2([] { raise(SIGHUP); }), {IDNO}, 0, 2, kQuestion},
        {"failed reopen on F1", [](DemoTest* t) {
             kv17::seam::OfferDisplayMode(640, 480, 16);
             t->At(2, [] { kv17::seam::FailCall("SetPixelFormat"); keyDown[VK_F1] = true; });
         }, {IDNO}, 1, 2, "Can't Set The PixelFormat."},
    };
    // clang-format on
    for (const Ending& row : rows) {
        TearDown();
        SetUp();
        kv17::seam::RecordCalls();
        row.arrange(this);
        EXPECT_EQ(RunDemo(row.answers), row.exitCode) << row.what;
        EXPECT_EQ(swaps_, row.swaps) << row.what;
        EXPECT_EQ(frameCount, row.frames < 0 ? row.swaps : row.frames) << row.what;
        EXPECT_EQ(BoxTexts().back(), row.lastBox) << row.what;
        const auto& question = kv17::seam::MessageBoxesShown()[0];
        EXPECT_EQ(std::tuple(question.text, question.caption, question.flags),
                  std::tuple(kQuestion, "Start FullScreen?", 0x24u));
        EXPECT_EQ(kv17::seam::LiveWindows(), 0) << row.what;
        // Every class registered was unregistered once, and no more.
        const auto& calls = kv17::seam::RecordedCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "UnregisterClassA"),
                  std::count(calls.begin(), calls.end(), "CreateWindowExA"))
            << row.what;
    }
}

// A pass that handles a message does no frame work; a press released within
// one drain of the queue is never seen; with both camera keys held, PageUp's
// step comes first, each rounded to single precision (after 150 PageUp steps
// the other order would end one ulp elsewhere).
TEST_F(MainLoopTest, MessagesAndTheCameraKeys) {
    float stepsAtTwo = 0, stepsAtThree = 0, depth = 0;
    At(1, [] {
        keyDown[VK_PRIOR] = true;
        kv17::seam::PostKey(mainWindow, VK_NEXT, true);
        kv17::seam::PostKey(mainWindow, VK_NEXT, false);
    });
    At(2, [&] {
        stepsAtTwo = spinStepX;
        for (int i = 0; i < 100; ++i) kv17::seam::PostKey(mainWindow, 'A', i % 2 == 0);
    });
    At(3, [&] { stepsAtThree = spinStepX; });
    At(151, [] { keyDown[VK_NEXT] = true; });
    At(152, [&] {
        depth = viewDepth;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(RunDemo({IDNO}), 0);
    EXPECT_EQ(stepsAtThree, stepsAtTwo * 1.01f);  // one update across a hundred messages
    float expected = -5.0f;
    for (int i = 0; i < 151; ++i) expected -= 0.02f;
    EXPECT_EQ(depth, expected + 0.02f);
}

TEST_F(MainLoopTest, MinimisedTheRhythmGoesOnAndItsFlashWaitsForTheCube) {
    // Steps just below the turn: the turn comes while minimised.
    At(1, [] {
        spinStepX = spinStepY = 8.95f;
        kv17::seam::PostMinimize(mainWindow);
    });
    bool minimised = false;  // inactive, one frame drawn, the flash waiting
    At(10, [&] {
        minimised = !isActive && frameCount == 1 && flashPending;
        kv17::seam::PostRestore(mainWindow);
    });
    EscAt(12);
    EXPECT_EQ(RunDemo({IDNO}), 0);
    EXPECT_TRUE(minimised);
    EXPECT_FALSE(flashPending);  // drawn by the first frame after the restore
}

// The rhythm, the flash request, the camera and the scroll position go on
// in the new window.
TEST_F(MainLoopTest, F1TogglesOnceAndCarriesTheStateAcross) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::RecordCalls();
    float scrollBefore = 0;
    At(2, [&] {
        viewDepth = -7.0f;
        spinRising = false;
        spinStepX = spinStepY = 5.0f;
        flashPending = true;
        scrollBefore = scrollOffset;
        keyDown[VK_F1] = true;
    });
    bool fullscreen = false, flashDrawn = false;
    float scrollAfter = 0;
    At(3, [&] {
        fullscreen = kv17::seam::DescribeWindow(mainWindow).fullscreen;
        flashDrawn = PixelIsWhite(5, 5);
        scrollAfter = scrollOffset;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(RunDemo({IDNO}), 0);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(isFullscreen);
    EXPECT_TRUE(flashDrawn);
    EXPECT_EQ(scrollAfter, scrollBefore + 0.05f);
    EXPECT_FALSE(spinRising);
    EXPECT_EQ(viewDepth, -7.0f);
    const auto& calls = kv17::seam::RecordedCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "RegisterClassA"), 2);  // toggled once
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
}

TEST_F(MainLoopTest, F1FromTheWindowedFallbackAsksAgain) {
    At(2, [] { keyDown[VK_F1] = true; });
    EscAt(3);
    EXPECT_EQ(RunDemo({IDYES, IDYES, IDYES}), 0);
    EXPECT_FALSE(isFullscreen);
    EXPECT_EQ(BoxTexts().size(), 3u);  // the question, then the refusal twice
}

}  // namespace
