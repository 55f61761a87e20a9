// Opening and closing the demo window on a headless display: every set-up
// and teardown failure made real by the platform's fault injection.
#include "demo_fixture.h"
#include "gl_window.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

using kv17::seam::MessageBoxShown;
using Calls = std::vector<std::string>;

namespace {

const char kTitle[] = "Morvane KV17 Demo - l33t";

// The calls that build and release things, in the order they were made.
Calls Lifecycle() {
    static const char* kept[] = {"RegisterClassA",
                                 "UnregisterClassA",
                                 "ChangeDisplaySettingsA",
                                 "ShowCursor(TRUE)",
                                 "ShowCursor(FALSE)",
                                 "CreateWindowExA",
                                 "DestroyWindow",
                                 "GetDC",
                                 "ReleaseDC",
                                 "ChoosePixelFormat",
                                 "SetPixelFormat",
                                 "wglCreateContext",
                                 "wglMakeCurrent",
                                 "wglDeleteContext",
                                 "MessageBoxA"};
    Calls calls;
    for (const std::string& call : kv17::seam::RecordedCalls())
        if (std::find(std::begin(kept), std::end(kept), call) != std::end(kept))
            calls.push_back(call);
    return calls;
}

void ExpectHandlesNull() {
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(windowDC, nullptr);
    EXPECT_EQ(renderContext, nullptr);
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
}

class GlWindowTest : public DemoTest {};

struct SetupFailure {
    const char* failingCall;
    const char* text;
    Calls calls;  // from the failing call on
};

void PrintTo(const SetupFailure& row, std::ostream* out) { *out << row.failingCall; }

class SetupFailureTest : public GlWindowTest, public ::testing::WithParamInterface<SetupFailure> {};

// Windowed, so the display mode is not involved.
TEST_P(SetupFailureTest, TearsDownThenReportsAndFails) {
    const SetupFailure& row = GetParam();
    kv17::seam::FailCall(row.failingCall);
    kv17::seam::RecordCalls();

    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, false));

    Calls calls = Lifecycle();
    auto from = std::find(calls.begin(), calls.end(), row.failingCall);
    ASSERT_NE(from, calls.end());
    EXPECT_EQ(Calls(from, calls.end()), row.calls);
    ASSERT_EQ(kv17::seam::MessageBoxesShown().size(), 1u);
    const MessageBoxShown& box = kv17::seam::MessageBoxesShown()[0];
    EXPECT_EQ(box.text, row.text);
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.flags, 0x30u);
    ExpectHandlesNull();
    EXPECT_EQ(kv17::seam::RegisteredClasses(), 0);
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
}

const Calls kReleaseWindow = {"DestroyWindow", "UnregisterClassA", "MessageBoxA"};
const Calls kReleaseDC = {"ReleaseDC", "DestroyWindow", "UnregisterClassA", "MessageBoxA"};

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SetupFailureTest,
    ::testing::Values(SetupFailure{"CreateWindowExA",
                                   "Window Creation Error.",
                                   {"CreateWindowExA", "UnregisterClassA", "MessageBoxA"}},
                      SetupFailure{"GetDC",
                                   "Can't Create A GL Device Context.",
                                   {"GetDC", "DestroyWindow", "UnregisterClassA", "MessageBoxA"}},
                      SetupFailure{"ChoosePixelFormat",
                                   "Can't Find A Suitable PixelFormat.",
                                   {"ChoosePixelFormat", "ReleaseDC", "DestroyWindow",
                                    "UnregisterClassA", "MessageBoxA"}},
                      SetupFailure{"SetPixelFormat",
                                   "Can't Set The PixelFormat.",
                                   {"SetPixelFormat", "ReleaseDC", "DestroyWindow",
                                    "UnregisterClassA", "MessageBoxA"}},
                      SetupFailure{"wglCreateContext",
                                   "Can't Create A GL Rendering Context.",
                                   {"wglCreateContext", "ReleaseDC", "DestroyWindow",
                                    "UnregisterClassA", "MessageBoxA"}},
                      SetupFailure{
                          "wglMakeCurrent",
                          "Can't Activate The GL Rendering Context.",
                          {"wglMakeCurrent", "wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                           "DestroyWindow", "UnregisterClassA", "MessageBoxA"}}),
    [](const auto& info) { return std::string(info.param.failingCall); });

TEST_F(GlWindowTest, ClassRegistrationFailureTearsNothingDown) {
    kv17::seam::FailCall("RegisterClassA");
    kv17::seam::RecordCalls();
    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, true));
    EXPECT_EQ(Lifecycle(), (Calls{"RegisterClassA", "MessageBoxA"}));
    ASSERT_EQ(kv17::seam::MessageBoxesShown().size(), 1u);
    EXPECT_EQ(kv17::seam::MessageBoxesShown()[0].text, "Failed To Register The Window Class.");
    EXPECT_EQ(kv17::seam::MessageBoxesShown()[0].flags, 0x30u);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
}

TEST_F(GlWindowTest, MissingBitmapFailsInitialisationAfterTheWindowExisted) {
    RemoveBitmap();
    kv17::seam::RecordCalls();
    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    Calls calls = Lifecycle();
    Calls tail(calls.end() - 6, calls.end());
    EXPECT_EQ(tail, (Calls{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                           "UnregisterClassA", "MessageBoxA"}));
    ASSERT_FALSE(kv17::seam::MessageBoxesShown().empty());
    EXPECT_EQ(kv17::seam::MessageBoxesShown().back().text, "Initialization Failed.");
    ExpectHandlesNull();
}

TEST_F(GlWindowTest, FullscreenFailureRestoresTheModeAndCursorBeforeTheBox) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::FailCall("GetDC");
    kv17::seam::RecordCalls();
    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, true));
    EXPECT_EQ(Lifecycle(),
              (Calls{"RegisterClassA", "ChangeDisplaySettingsA", "ShowCursor(FALSE)",
                     "CreateWindowExA", "GetDC", "ChangeDisplaySettingsA", "ShowCursor(TRUE)",
                     "DestroyWindow", "UnregisterClassA", "MessageBoxA"}));
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
}

TEST_F(GlWindowTest, RefusedFullscreenAnsweredYesOpensWindowedAndNeverRestores) {
    kv17::seam::AnswerMessageBoxes({IDYES});
    kv17::seam::RecordCalls();
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, true));
    EXPECT_FALSE(isFullscreen);
    ASSERT_EQ(kv17::seam::MessageBoxesShown().size(), 1u);
    const MessageBoxShown& box = kv17::seam::MessageBoxesShown()[0];
    EXPECT_EQ(box.caption, "Orix GL");
    EXPECT_EQ(box.text,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
              "Mode Instead?");
    EXPECT_EQ(box.flags, 0x34u);
    kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(mainWindow);
    EXPECT_TRUE(info.resizable);
    EXPECT_FALSE(info.borderless);
    EXPECT_EQ(kv17::seam::CursorCount(), 0);

    CloseDemoWindow();
    Calls calls = Lifecycle();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ChangeDisplaySettingsA"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowCursor(TRUE)"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowCursor(FALSE)"), 0);
}

TEST_F(GlWindowTest, RefusedFullscreenAnsweredNoClosesWithoutAWindow) {
    kv17::seam::AnswerMessageBoxes({IDNO, IDOK});
    kv17::seam::RecordCalls();
    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, true));
    const auto& boxes = kv17::seam::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Orix GL");
    EXPECT_EQ(boxes[1].text, "Program Will Now Close.");
    EXPECT_EQ(boxes[1].caption, "ERROR");
    EXPECT_EQ(boxes[1].flags, 0x10u);
    Calls calls = Lifecycle();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateWindowExA"), 0);
    // Nothing is torn down: the class stays registered.
    EXPECT_EQ(kv17::seam::RegisteredClasses(), 1);
}

TEST_F(GlWindowTest, WindowedOpenGivesAnExact640x480DecoratedWindow) {
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(mainWindow);
    EXPECT_EQ(info.title, kTitle);
    EXPECT_EQ(info.clientWidth, 640);
    EXPECT_EQ(info.clientHeight, 480);
    EXPECT_TRUE(info.visible);
    EXPECT_TRUE(info.resizable);
    EXPECT_FALSE(info.borderless);
    EXPECT_EQ(info.style, (DWORD)(WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(GetFocus(), mainWindow);
    EXPECT_FALSE(kv17::seam::ScreenSaverEnabled());
    EXPECT_TRUE(isActive);
    CloseDemoWindow();
    ExpectHandlesNull();
    EXPECT_EQ(kv17::seam::RegisteredClasses(), 0);
}

TEST_F(GlWindowTest, FullscreenOpenTakesTheModeAndHidesTheCursorUntilClose) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, true));
    EXPECT_TRUE(isFullscreen);
    kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(mainWindow);
    EXPECT_TRUE(info.borderless);
    EXPECT_TRUE(info.fullscreen);
    EXPECT_EQ(info.style, (DWORD)(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(kv17::seam::CursorCount(), -1);
    EXPECT_TRUE(kv17::seam::DisplayModeChanged());
    CloseDemoWindow();
    EXPECT_EQ(kv17::seam::CursorCount(), 0);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
}

TEST_F(GlWindowTest, OpenSetsTheProjectionForTheClientSize) {
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_FLOAT_EQ(projection[5], (float)f);
    EXPECT_FLOAT_EQ(projection[0], (float)(f / (4.0 / 3.0)));
    EXPECT_FLOAT_EQ(projection[10], (float)((100.0 + 0.1f) / (0.1f - 100.0)));
    EXPECT_FLOAT_EQ(projection[14], (float)(2.0 * 100.0 * 0.1f / (0.1f - 100.0)));
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

struct TeardownFailure {
    const char* failingCall;
    std::vector<std::string> texts;
};

void PrintTo(const TeardownFailure& row, std::ostream* out) { *out << row.failingCall; }

class TeardownFailureTest : public GlWindowTest,
                            public ::testing::WithParamInterface<TeardownFailure> {};

TEST_P(TeardownFailureTest, ReportsAndGoesOn) {
    const TeardownFailure& row = GetParam();
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    kv17::seam::FailCall(row.failingCall);
    kv17::seam::RecordCalls();

    CloseDemoWindow();

    std::vector<std::string> texts;
    for (const MessageBoxShown& box : kv17::seam::MessageBoxesShown()) {
        texts.push_back(box.text);
        EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
        EXPECT_EQ(box.flags, 0x40u);
    }
    EXPECT_EQ(texts, row.texts);
    // Every step still ran, in order, and every handle is null.
    Calls steps;
    for (const std::string& call : Lifecycle())
        if (call != "MessageBoxA") steps.push_back(call);
    EXPECT_EQ(steps, (Calls{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                            "UnregisterClassA"}));
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(windowDC, nullptr);
    EXPECT_EQ(renderContext, nullptr);
    EXPECT_EQ(appInstance, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, TeardownFailureTest,
    ::testing::Values(TeardownFailure{"wglMakeCurrent", {"Release Of DC And RC Failed."}},
                      TeardownFailure{"wglDeleteContext", {"Release Rendering Context Failed."}},
                      TeardownFailure{"ReleaseDC", {"Release Device Context Failed."}},
                      // A class still in use by a window cannot be unregistered either.
                      TeardownFailure{"DestroyWindow",
                                      {"Could Not Release hWnd.", "Could Not Unregister Class."}},
                      TeardownFailure{"UnregisterClassA", {"Could Not Unregister Class."}}),
    [](const auto& info) { return std::string(info.param.failingCall); });

TEST_F(GlWindowTest, FailedUnregisterMakesTheNextOpenFailAtRegistration) {
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    kv17::seam::FailCall("UnregisterClassA");
    CloseDemoWindow();
    EXPECT_FALSE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    const auto& boxes = kv17::seam::MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Failed To Register The Window Class.");
}

TEST_F(GlWindowTest, TeardownIsSafeInAnyState) {
    CloseDemoWindow();  // nothing was ever built
    CloseDemoWindow();
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    CloseDemoWindow();
    CloseDemoWindow();
    ExpectHandlesNull();
    // Only the class unregistering of the extra calls can fail, and it says so.
    for (const MessageBoxShown& box : kv17::seam::MessageBoxesShown())
        EXPECT_EQ(box.text, "Could Not Unregister Class.");
    ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
}

TEST_F(GlWindowTest, ReopeningRegistersTheClassAgain) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, i % 2 == 0)) << i;
        CloseDemoWindow();
    }
    EXPECT_EQ(kv17::seam::RegisteredClasses(), 0);
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
}

class WindowProcTest : public GlWindowTest {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        ASSERT_TRUE(OpenDemoWindow(kTitle, 640, 480, 16, false));
    }
    void TearDown() override {
        CloseDemoWindow();
        GlWindowTest::TearDown();
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        return DemoWndProc(mainWindow, message, wParam, lParam);
    }
};

TEST_F(WindowProcTest, ActivationFollowsOnlyTheMinimisedFlag) {
    EXPECT_EQ(Send(WM_ACTIVATE, PackWords(WA_INACTIVE, 1)), 0);
    EXPECT_FALSE(isActive);
    EXPECT_EQ(Send(WM_ACTIVATE, PackWords(WA_ACTIVE, 0)), 0);
    EXPECT_TRUE(isActive);
    // Losing the focus without being minimised keeps the demo running.
    Send(WM_ACTIVATE, PackWords(WA_INACTIVE, 0));
    EXPECT_TRUE(isActive);
    Send(WM_ACTIVATE, PackWords(WA_ACTIVE, 1));
    EXPECT_FALSE(isActive);
}

TEST_F(WindowProcTest, KeysAreRecordedAndOutOfRangeCodesWriteNothing) {
    Send(WM_KEYDOWN, VK_PRIOR);
    EXPECT_TRUE(keyDown[VK_PRIOR]);
    Send(WM_KEYUP, VK_PRIOR);
    EXPECT_FALSE(keyDown[VK_PRIOR]);
    Send(WM_KEYDOWN, 255);
    EXPECT_TRUE(keyDown[255]);
    EXPECT_EQ(Send(WM_KEYDOWN, 256), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, 0x10000), 0);
    EXPECT_EQ(Send(WM_KEYUP, 256), 0);
    // System keys go to the default handling and are not recorded.
    Send(WM_SYSKEYDOWN, VK_F1);
    EXPECT_FALSE(keyDown[VK_F1]);
}

TEST_F(WindowProcTest, MinimisedSizeGivesAViewportOfHeightOne) {
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 0);
    EXPECT_EQ(viewport[3], 1);
    Send(WM_SIZE, SIZE_RESTORED, (LPARAM)(800 | (600 << 16)));
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreSwallowed) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_FALSE(kv17::seam::ScreenSaverEnabled());
    // Compared as a whole: a low bit set means another command.
    Send(WM_SYSCOMMAND, SC_SCREENSAVE | 1);
    EXPECT_TRUE(kv17::seam::ScreenSaverEnabled());
}

TEST_F(WindowProcTest, CloseRequestPostsQuitWithCodeZero) {
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);
    EXPECT_NE(mainWindow, nullptr);  // not destroyed here
    MSG msg;
    bool quit = false;
    while (!quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit = msg.message == WM_QUIT;
    ASSERT_TRUE(quit);
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
