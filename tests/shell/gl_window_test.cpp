// Opening and closing the demo window on a headless display, every set-up
// and teardown failure made real by the platform's fault injection, and the
// window procedure.
#include "demo_fixture.h"
#include "gl_test_context.h"
#include "gl_window.h"
#include "outline_font.h"
#include "scene_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cstring>
#include <tuple>

namespace {

using GlWindowTest = DemoTest;
const char kTitle[] = "Morvane KV17 Demo - l33t";

bool Open(bool fullscreen) { return OpenDemoWindow(kTitle, 640, 480, 16, fullscreen); }

// The recorded calls, each after a blank.
std::string Calls() {
    std::string calls;
    for (const std::string& call : kv17::seam::RecordedCalls()) calls += " " + call;
    return calls;
}

// Handles, windows, contexts, the font's lists, classes, the hidden cursor
// and the display mode: what a closed window must have given back.
auto Held() {
    return std::tuple(mainWindow || windowDC || renderContext, kv17::seam::LiveWindows(),
                      kv17::seam::LiveContexts(), advanceListBase, kv17::seam::RegisteredClasses(),
                      kv17::seam::CursorCount(), kv17::seam::DisplayModeChanged());
}
const auto kNothingHeld = std::tuple(false, 0, 0, 0u, 0, 0, false);

struct SetupFailure {
    const char* name;
    const char* failingCall;  // or "" for a missing bitmap
    const char* text;
    std::string calls;  // the last calls made
    bool fullscreen = false;
};

const std::string kDc = " ReleaseDC DestroyWindow UnregisterClassA MessageBoxA";
const std::string kContext = " wglMakeCurrent wglDeleteContext" + kDc;
// clang-format off
const SetupFailure kSetupFailures[] = {
    {"RegisterClassA", "RegisterClassA", "Failed To Register The Window Class.", " RegisterClassA MessageBoxA"},
    {"CreateWindowExA", "CreateWindowExA", "Window Creation Error.", " CreateWindowExA UnregisterClassA MessageBoxA"},
    {"GetDC", "GetDC", "Can't Create A GL Device Context.", " GetDC DestroyWindow UnregisterClassA MessageBoxA"},
    {"ChoosePixelFormat", "ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", " ChoosePixelFormat" + kDc},
    {"SetPixelFormat", "SetPixelFormat", "Can't Set The PixelFormat.", " SetPixelFormat" + kDc},
    {"wglCreateContext", "wglCreateContext", "Can't Create A GL Rendering Context.", " wglCreateContext" + kDc},
    {"wglMakeCurrent", "wglMakeCurrent", "Can't Activate The GL Rendering Context.", " wglMakeCurrent" + kContext},
    {"NoBitmap", "", "Initialization Failed.", " SetFocus CreateFileA" + kContext},
    // The display mode is back and the cursor shown before the box.
    {"GetDCFullscreen", "GetDC", "Can't Create A GL Device Context.", " GetDC ChangeDisplaySettingsA"
     " ShowCursor(TRUE) DestroyWindow UnregisterClassA MessageBoxA", true},
};
// clang-format on

class SetupFailureTest : public DemoTest, public ::testing::WithParamInterface<SetupFailure> {};

TEST_P(SetupFailureTest, TearsDownThenSaysWhy) {
    const SetupFailure& row = GetParam();
    if (*row.failingCall) kv17::seam::FailCall(row.failingCall);
    if (!*row.failingCall) RemoveBitmap();
    kv17::seam::OfferDisplayMode(640, 480, 16);
    kv17::seam::RecordCalls();
    EXPECT_FALSE(Open(row.fullscreen));
    EXPECT_TRUE(Calls().ends_with(row.calls)) << Calls();
    EXPECT_EQ(Boxes(), "ERROR: " + std::string(row.text) + " (48)\n");
    EXPECT_EQ(Held(), kNothingHeld);
}
INSTANTIATE_TEST_SUITE_P(, SetupFailureTest, ::testing::ValuesIn(kSetupFailures), RowName);

class RefusedModeTest : public DemoTest, public ::testing::WithParamInterface<int> {};

TEST_P(RefusedModeTest, OpensWindowedOnlyOnYes) {
    kv17::seam::AnswerMessageBoxes({GetParam()});
    kv17::seam::RecordCalls();
    const bool opens = GetParam() == IDYES;
    EXPECT_EQ(Open(true), opens);
    EXPECT_EQ(Boxes(),
              "Orix GL: The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
              "Use Windowed Mode Instead? (52)\n" +
                  std::string(opens ? "" : "ERROR: Program Will Now Close. (16)\n"));
    if (opens) {
        EXPECT_FALSE(isFullscreen);
        EXPECT_EQ(kv17::seam::DescribeWindow(mainWindow).style & WS_POPUP, 0u);
        CloseDemoWindow();
    }
    // The refused change is the only one and the cursor never hidden; on
    // a refusal nothing is built and nothing torn down.
    EXPECT_EQ(std::tuple(Count("ChangeDisplaySettingsA"), Count("ShowCursor(TRUE)"),
                         Count("CreateWindowExA"), Count("UnregisterClassA")),
              std::tuple(1L, 0L, (long)opens, (long)opens));
}
INSTANTIATE_TEST_SUITE_P(, RefusedModeTest, ::testing::Values(IDYES, IDNO, IDOK),
                         [](const auto& answer) -> std::string {
                             return answer.param == IDYES  ? "Yes"
                                    : answer.param == IDNO ? "No"
                                                           : "Ok";
                         });

struct Mode {
    const char* name;
    bool fullscreen;
    DWORD exStyle, style;
    int cursor;
};
class WindowModeTest : public DemoTest, public ::testing::WithParamInterface<Mode> {};

TEST_P(WindowModeTest, OpensTheWindowItAsksForAndCloseGivesAllBack) {
    const Mode& row = GetParam();
    kv17::seam::OfferDisplayMode(640, 480, 16);
    // RGBA, double buffered, 16-bit colour and depth, nothing else.
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = 40, format.nVersion = 1, format.dwFlags = 0x25;
    format.cColorBits = format.cDepthBits = 16;
    ASSERT_TRUE(Open(row.fullscreen));
    const kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(mainWindow);
    EXPECT_EQ(std::tuple(info.title, info.clientWidth, info.clientHeight, info.visible,
                         info.fullscreen, info.classStyle, info.exStyle, info.style),
              std::tuple(kTitle, 640, 480, true, row.fullscreen, 0x23u, row.exStyle, row.style));
    EXPECT_EQ(std::tuple(kv17::seam::CursorCount(), kv17::seam::DisplayModeChanged(),
                         GetFocus() == mainWindow, kv17::seam::ScreenSaverEnabled(), fontBase > 0),
              std::tuple(row.cursor, row.fullscreen, true, false, true));
    EXPECT_EQ(std::memcmp(&info.pixelFormat, &format, sizeof format), 0);
    CloseDemoWindow();
    EXPECT_EQ(Held(), kNothingHeld);
}
const DWORD kClip = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const Mode kModes[] = {{"Windowed", false, 0x40100, WS_OVERLAPPEDWINDOW | kClip, 0},
                       {"Fullscreen", true, 0x40000, WS_POPUP | kClip, -1}};
INSTANTIATE_TEST_SUITE_P(, WindowModeTest, ::testing::ValuesIn(kModes), RowName);

struct TeardownFailure {
    const char* name;  // the failing call
    const char* texts;
    bool classLeft;  // registered still: the next open fails
};
class TeardownFailureTest : public DemoTest,
                            public ::testing::WithParamInterface<TeardownFailure> {};

TEST_P(TeardownFailureTest, IsToldAndTheTeardownGoesOn) {
    ASSERT_TRUE(Open(false));
    kv17::seam::FailCall(GetParam().name);
    kv17::seam::RecordCalls();
    CloseDemoWindow();
    EXPECT_EQ(Boxes(), "SHUTDOWN ERROR: " + std::string(GetParam().texts) + " (64)\n");
    std::vector<std::string> steps = kv17::seam::RecordedCalls();
    std::erase(steps, "MessageBoxA");
    EXPECT_EQ(steps, (std::vector<std::string>{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                               "DestroyWindow", "UnregisterClassA"}));
    EXPECT_FALSE(mainWindow || windowDC || renderContext || appInstance);
    EXPECT_EQ(Open(false), !GetParam().classLeft);
}
const TeardownFailure kTeardownFailures[] = {
    {"wglMakeCurrent", "Release Of DC And RC Failed.", false},
    {"wglDeleteContext", "Release Rendering Context Failed.", false},
    {"ReleaseDC", "Release Device Context Failed.", false},
    // A class still in use by a window cannot be unregistered either.
    {"DestroyWindow", "Could Not Release hWnd. (64)\nSHUTDOWN ERROR: Could Not Unregister Class.",
     true},
    {"UnregisterClassA", "Could Not Unregister Class.", true}};
INSTANTIATE_TEST_SUITE_P(, TeardownFailureTest, ::testing::ValuesIn(kTeardownFailures), RowName);

// The open sets its own projection, not only the one the size message of
// showing the window brings: 45 degrees, the aspect 4/3 in double, the near
// plane the float 0.1 widened. Then the window procedure's answers.
TEST_F(GlWindowTest, OpenSetsTheProjectionAndTheWindowProcedureAnswers) {
    kv17::seam::FailCall("ShowWindow");  // shows nothing and sends no message
    ASSERT_TRUE(Open(false));
    const std::vector<GLfloat> projection = GetFloats(GL_PROJECTION_MATRIX, 16);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, (double)0.1f, 100.0);
    EXPECT_EQ(projection, GetFloats(GL_PROJECTION_MATRIX, 16));
    glMatrixMode(GL_MODELVIEW);
    // Every message handled here answers 0; the rest go to the default handling.
    LRESULT answers = 0;
    auto send = [&answers](UINT message, WPARAM wParam, LPARAM lParam = 0) {
        answers |= DemoWndProc(mainWindow, message, wParam, lParam);
    };
    // The viewport as the open left it, then after each size message; each
    // puts the modelview back to the identity.
    const std::array<int, 4> sizes[] = {
        {640, 480, 640, 480}, {800, 600, 800, 600}, {0, 0, 0, 1}, {0, 480, 0, 480}};
    for (const auto& [width, height, viewWidth, viewHeight] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        if (width != 640) send(WM_SIZE, SIZE_RESTORED, width | height << 16);
        const std::vector<GLfloat> viewport = GetFloats(GL_VIEWPORT, 4);
        EXPECT_EQ(std::pair(viewport[2], viewport[3]),
                  std::pair((GLfloat)viewWidth, (GLfloat)viewHeight));
        EXPECT_EQ(GetFloats(GL_MODELVIEW_MATRIX, 16),
                  (std::vector<GLfloat>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
        glTranslatef(1, 2, 3);  // where a frame leaves the modelview
    }
    // Only minimising makes the window inactive; losing the focus does not.
    std::string active;
    for (WPARAM wParam : {PackWords(WA_INACTIVE, 1), PackWords(WA_ACTIVE, 0),
                          PackWords(WA_INACTIVE, 0), PackWords(WA_ACTIVE, 1)}) {
        send(WM_ACTIVATE, wParam);
        active += isActive ? 'y' : 'n';
    }
    EXPECT_EQ(active, "nyyn");
    send(WM_KEYDOWN, VK_PRIOR);
    send(WM_KEYDOWN, 255);
    send(WM_KEYDOWN, 256);  // no entry: nothing written
    EXPECT_EQ(std::tuple(keyDown[VK_PRIOR], keyDown[255]), std::tuple(true, true));
    send(WM_KEYUP, VK_PRIOR);
    EXPECT_FALSE(keyDown[VK_PRIOR]);
    send(WM_SYSCOMMAND, SC_SCREENSAVE);
    send(WM_SYSCOMMAND, SC_MONITORPOWER);
    EXPECT_FALSE(kv17::seam::ScreenSaverEnabled());
    send(WM_CLOSE, 0);  // a quit with code 0 is posted; nothing destroyed
    EXPECT_EQ(std::tuple(answers, kv17::seam::LiveWindows()), std::tuple((LRESULT)0, 1));
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) continue;
    EXPECT_EQ(std::tuple(msg.message, msg.wParam), std::tuple((UINT)WM_QUIT, (WPARAM)0));
    DemoWndProc(mainWindow, WM_SYSKEYDOWN, VK_F1, 0);  // the default handling's, not recorded
    DemoWndProc(mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER | 1, 0);  // another command
    EXPECT_EQ(std::tuple(keyDown[VK_F1], kv17::seam::ScreenSaverEnabled()),
              std::tuple(false, true));
}

}  // namespace
