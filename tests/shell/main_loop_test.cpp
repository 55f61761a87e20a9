// The whole program in-process on a headless display: the start question,
// the main loop, its keys and its ends, driven from the frames presented.
#include "demo_fixture.h"
#include "gl_test_context.h"
#include "scene_state.h"

#include <GL/gl.h>

#include <csignal>
#include <tuple>

namespace {

using MainLoopTest = DemoTest;

struct Ending {
    const char* name;
    std::function<void(DemoTest*)> arrange;
    int answer;           // to the start question
    int exitCode, swaps;  // frames presented
    bool fullscreen;      // at the first presentation
    const char* lastBox;
    int frames = -1;  // frames drawn, when not `swaps`
};

const char kQuestion[] = "Would You Like To Run In Fullscreen Mode? (36)\n";
std::function<void(DemoTest*)> At2(std::function<void()> action) {
    return [action](DemoTest* t) { t->At(2, action); };
}
// clang-format off
const Ending kEndings[] = {
    // Esc: the frame drawn in that pass is never presented.
    {"Esc", [](DemoTest* t) { t->EscAt(3); }, IDNO, 0, 3, false, kQuestion, 4},
    {"RefusedModeThenNo", [](DemoTest*) { kv17::seam::FailCall("ChangeDisplaySettingsA"); },
     IDYES, 1, 0, false, "ERROR: Program Will Now Close. (16)\n"},
    {"FailedOpen", [](DemoTest*) { kv17::seam::FailCall("wglCreateContext"); }, IDNO, 1, 0,
     false, "ERROR: Can't Create A GL Rendering Context. (48)\n"},
    {"QuitCode", At2([] { PostQuitMessage(3); }), IDYES, 3, 2, true, kQuestion},
    {"CloseBox", At2([] { kv17::seam::PostCloseButton(mainWindow); }), 2 /* IDCANCEL */, 0, 2,
     true, kQuestion},
    {"HangUp", At2([] { raise(SIGHUP); }), IDNO, 0, 2, false, kQuestion},
    {"FailedReopenOnF1", At2([] { kv17::seam::FailCall("SetPixelFormat"); keyDown[VK_F1] = true; }),
     IDNO, 1, 2, false, "ERROR: Can't Set The PixelFormat. (48)\n"},
};
// clang-format on

class EndingTest : public DemoTest, public ::testing::WithParamInterface<Ending> {};

// Only No to the start question opens windowed; every end gives its exit code.
TEST_P(EndingTest, AsksTheStartQuestionAndGivesItsExitCode) {
    const Ending& row = GetParam();
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::RecordCalls();
    bool fullscreen = false;
    At(1, [&] { fullscreen = kv17::seam::DescribeWindow(mainWindow).fullscreen; });
    row.arrange(this);
    EXPECT_EQ(RunDemo({row.answer}), row.exitCode);
    // Every class registered with a window is unregistered once, and no more.
    EXPECT_EQ(std::tuple(swaps_, frameCount, fullscreen, kv17::seam::LiveWindows(),
                         Count("UnregisterClassA")),
              std::tuple(row.swaps, row.frames < 0 ? row.swaps : row.frames, row.fullscreen, 0,
                         Count("CreateWindowExA")));
    const std::string boxes = Boxes();
    EXPECT_TRUE(boxes.starts_with(std::string("Start FullScreen?: ") + kQuestion) &&
                boxes.ends_with(row.lastBox))
        << boxes;
}
INSTANTIATE_TEST_SUITE_P(, EndingTest, ::testing::ValuesIn(kEndings), RowName);

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
    float expected = -5.0f;
    for (int i = 0; i < 151; ++i) expected -= 0.02f;
    // One update across a hundred messages.
    EXPECT_EQ(std::tuple(stepsAtThree, depth), std::tuple(stepsAtTwo * 1.01f, expected + 0.02f));
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
        const Rgb corner = PixelAt(ReadFrame(), 5, 5);
        flashDrawn = std::min({corner.r, corner.g, corner.b}) > 230;
        scrollAfter = scrollOffset;
        kv17::seam::PostKey(mainWindow, VK_ESCAPE, true);
    });
    EXPECT_EQ(RunDemo({IDNO}), 0);
    // Toggled once: two classes registered.
    EXPECT_EQ(std::tuple(fullscreen, isFullscreen, flashDrawn, scrollAfter, spinRising, viewDepth,
                         Count("RegisterClassA"), kv17::seam::CursorCount()),
              std::tuple(true, true, true, scrollBefore + 0.05f, false, -7.0f, 2L, 0));
}

TEST_F(MainLoopTest, F1FromTheWindowedFallbackAsksAgain) {
    At(2, [] { keyDown[VK_F1] = true; });
    EscAt(3);
    EXPECT_EQ(RunDemo({IDYES, IDYES, IDYES}), 0);
    EXPECT_FALSE(isFullscreen);
    EXPECT_EQ(kv17::seam::MessageBoxesShown().size(), 3u);  // the question, the refusal twice
}

}  // namespace
