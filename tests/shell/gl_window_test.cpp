// Opening and closing the demo window on a headless display, every set-up
// and teardown failure made real by the platform's fault injection, and the
// window procedure.
#include "demo_fixture.h"
#include "gl_window.h"
#include "outline_font.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>

namespace {

using Calls = std::vector<std::string>;
const char kTitle[] = "Morvane KV17 Demo - l33t";

// The calls that build and release things, in the order they were made.
Calls Lifecycle() {
    const std::string kept =
        " RegisterClassA UnregisterClassA ChangeDisplaySettingsA ShowCursor(TRUE) "
        "ShowCursor(FALSE) CreateWindowExA DestroyWindow GetDC ReleaseDC ChoosePixelFormat "
        "SetPixelFormat wglCreateContext wglMakeCurrent wglDeleteContext MessageBoxA ";
    Calls calls;
    for (const std::string& call : kv17::seam::RecordedCalls())
        if (kept.find(" " + call + " ") != std::string::npos) calls.push_back(call);
    return calls;
}

void ExpectNothingHeld() {
    EXPECT_FALSE(mainWindow || windowDC || renderContext);
    EXPECT_EQ(kv17::seam::LiveWindows(), 0);
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
    EXPECT_EQ(advanceListBase, 0u);  // the font's lists were let go
}

class GlWindowTest : public DemoTest {
protected:
    bool Open(bool fullscreen) { return OpenDemoWindow(kTitle, 640, 480, 16, fullscreen); }
};

struct SetupFailure {
    const char* failingCall;  // or "" for a missing bitmap
    const char* text;
    std::string calls;  // the last calls made, after the failing one
    bool fullscreen = false;
};

TEST_F(GlWindowTest, EachSetupFailureTearsDownThenSaysWhy) {
    const std::string fromDC = " ReleaseDC DestroyWindow UnregisterClassA MessageBoxA";
    const std::string fromContext = " wglMakeCurrent wglDeleteContext" + fromDC;
    // clang-format off
    const SetupFailure rows[] = {
        {"RegisterClassA", "Failed To Register The Window Class.", " MessageBoxA"},  // nothing to undo
        {"CreateWindowExA", "Window Creation Error.", " UnregisterClassA MessageBoxA"},
        {"GetDC", "Can't Create A GL Device Context.", " DestroyWindow UnregisterClassA MessageBoxA"},
        {"ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", fromDC},
        {"SetPixelFormat", "Can't Set The PixelFormat.", fromDC},
        {"wglCreateContext", "Can't Create A GL Rendering Context.", fromDC},
        {"wglMakeCurrent", "Can't Activate The GL Rendering Context.", fromContext},
        {"", "Initialization Failed.", fromContext},
        // The display mode is back and the cursor shown before the box.
        {"GetDC", "Can't Create A GL Device Context.", " ChangeDisplaySettingsA ShowCursor(TRUE)"
         " DestroyWindow UnregisterClassA MessageBoxA", true},
    };
    // clang-format on
    for (const SetupFailure& row : rows) {
        TearDown();
        SetUp();
        if (*row.failingCall) kv17::seam::FailCall(row.failingCall);
        if (!*row.failingCall) RemoveBitmap();
        kv17::seam::OfferDisplayMode(640, 480, 16);
        kv17::seam::RecordCalls();
        EXPECT_FALSE(Open(row.fullscreen)) << row.text;
        std::string calls;
        for (const std::string& call : Lifecycle()) calls += " " + call;
        const std::string failing = *row.failingCall ? row.failingCall : "wglMakeCurrent";
        EXPECT_TRUE(calls.ends_with(" " + failing + row.calls)) << row.text << ":" << calls;
        const auto& box = kv17::seam::MessageBoxesShown().back();
        EXPECT_EQ(box.text, row.text);
        EXPECT_EQ(box.caption, "ERROR");
        EXPECT_EQ(box.flags, 0x30u);
        ExpectNothingHeld();
        EXPECT_EQ(kv17::seam::RegisteredClasses(), 0);
        EXPECT_EQ(kv17::seam::CursorCount(), 0);
        EXPECT_FALSE(kv17::seam::DisplayModeChanged());
    }
}

struct Refusal {
    int answer;
    bool opens;
};

TEST_F(GlWindowTest, ARefusedModeOpensWindowedOnlyOnYes) {
    for (Refusal row : {Refusal{IDYES, true}, Refusal{IDNO, false}, Refusal{IDOK, false}}) {
        TearDown();
        SetUp();
        kv17::seam::AnswerMessageBoxes({row.answer});
        kv17::seam::RecordCalls();
        EXPECT_EQ(Open(true), row.opens) << row.answer;
        std::string boxes;
        for (const auto& box : kv17::seam::MessageBoxesShown())
            boxes += box.caption + ": " + box.text + " (" + std::to_string(box.flags) + ")\n";
        EXPECT_EQ(boxes,
                  "Orix GL: The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                  "Use Windowed Mode Instead? (52)\n" +
                      std::string(row.opens ? "" : "ERROR: Program Will Now Close. (16)\n"));
        if (row.opens) {
            EXPECT_FALSE(isFullscreen);
            EXPECT_EQ(kv17::seam::DescribeWindow(mainWindow).style & WS_POPUP, 0u);
            CloseDemoWindow();  // neither restores a mode nor shows the cursor
            const Calls calls = Lifecycle();
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowCursor(TRUE)"), 0);
            EXPECT_EQ(std::count(calls.begin(), calls.end(), "ChangeDisplaySettingsA"), 1);
        } else {
            EXPECT_EQ(kv17::seam::LiveWindows(), 0);
            EXPECT_EQ(kv17::seam::RegisteredClasses(), 1);  // nothing torn down
        }
    }
}

struct Mode {
    bool fullscreen;
    DWORD exStyle, style;
    int cursor;
};

TEST_F(GlWindowTest, OpensTheWindowItsModeAsksForAndCloseGivesAllBack) {
    kv17::seam::OfferDisplayMode(640, 480, 16);
    for (Mode row :
         {Mode{false, 0x40100, WS_OVERLAPPEDWINDOW, 0}, Mode{true, 0x40000, WS_POPUP, -1}}) {
        ASSERT_TRUE(Open(row.fullscreen));
        const kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(mainWindow);
        EXPECT_EQ(std::tuple(info.title, info.clientWidth, info.clientHeight, info.visible,
                             info.fullscreen, info.classStyle, info.exStyle, info.style),
                  std::tuple(kTitle, 640, 480, true, row.fullscreen, 0x23u, row.exStyle,
                             (DWORD)(row.style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)));
        EXPECT_EQ(std::tuple(kv17::seam::CursorCount(), kv17::seam::DisplayModeChanged(),
                             GetFocus() == mainWindow, kv17::seam::ScreenSaverEnabled()),
                  std::tuple(row.cursor, row.fullscreen, true, false));
        // The pixel format, field by field: RGBA, double buffered, 16-bit
        // colour and depth, nothing else.
        PIXELFORMATDESCRIPTOR expected{};
        expected.nSize = 40, expected.nVersion = 1, expected.dwFlags = 0x25;
        expected.cColorBits = 16, expected.cDepthBits = 16;
        EXPECT_EQ(std::memcmp(&info.pixelFormat, &expected, sizeof expected), 0);
        EXPECT_NE(fontBase, 0u);
        CloseDemoWindow();
        ExpectNothingHeld();
        EXPECT_EQ(std::tuple(kv17::seam::CursorCount(), kv17::seam::DisplayModeChanged(),
                             kv17::seam::RegisteredClasses()),
                  std::tuple(0, false, 0));
    }
}

// Its own projection, not only the one the size message of showing the
// window brings: 45 degrees, the aspect 4/3 in double, the near plane the
// float 0.1 widened.
TEST_F(GlWindowTest, OpenSetsTheProjectionForTheClientSize) {
    kv17::seam::FailCall("ShowWindow");  // shows nothing and sends no message
    ASSERT_TRUE(Open(false));
    std::array<GLfloat, 16> projection, expected;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, (double)0.1f, 100.0);
    glGetFloatv(GL_PROJECTION_MATRIX, expected.data());
    glPopMatrix();
    EXPECT_EQ(projection, expected);
    glMatrixMode(GL_MODELVIEW);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    std::array<GLfloat, 16> modelview, identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    EXPECT_EQ(modelview, identity);
    CloseDemoWindow();
}

TEST_F(GlWindowTest, EachTeardownFailureIsToldAndTheTeardownGoesOn) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"wglMakeCurrent", {"Release Of DC And RC Failed."}},
        {"wglDeleteContext", {"Release Rendering Context Failed."}},
        {"ReleaseDC", {"Release Device Context Failed."}},
        // A class still in use by a window cannot be unregistered either.
        {"DestroyWindow", {"Could Not Release hWnd.", "Could Not Unregister Class."}},
        {"UnregisterClassA", {"Could Not Unregister Class."}},
    };
    for (const auto& [failingCall, texts] : rows) {
        TearDown();
        SetUp();
        ASSERT_TRUE(Open(false));
        kv17::seam::FailCall(failingCall);
        kv17::seam::RecordCalls();
        CloseDemoWindow();
        EXPECT_EQ(BoxTexts(), texts) << failingCall;
        for (const auto& box : kv17::seam::MessageBoxesShown()) {
            EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
            EXPECT_EQ(box.flags, 0x40u);
        }
        Calls steps = Lifecycle();
        std::erase(steps, "MessageBoxA");
        EXPECT_EQ(steps, (Calls{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                                "UnregisterClassA"}));
        EXPECT_FALSE(mainWindow || windowDC || renderContext || appInstance) << failingCall;
    }
    // The class left registered makes the next open fail at registration.
    EXPECT_FALSE(Open(false));
    EXPECT_EQ(BoxTexts().back(), "Failed To Register The Window Class.");
}

class WindowProcTest : public GlWindowTest {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        ASSERT_TRUE(Open(false));
    }
    void TearDown() override {
        CloseDemoWindow();
        GlWindowTest::TearDown();
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        return DemoWndProc(mainWindow, message, wParam, lParam);
    }
};

TEST_F(WindowProcTest, ActivationKeysSystemCommandsAndClose) {
    // Only minimising makes the window inactive; losing the focus does not.
    const std::pair<WPARAM, bool> activations[] = {{PackWords(WA_INACTIVE, 1), false},
                                                   {PackWords(WA_ACTIVE, 0), true},
                                                   {PackWords(WA_INACTIVE, 0), true},
                                                   {PackWords(WA_ACTIVE, 1), false}};
    for (const auto& [wParam, active] : activations) {
        EXPECT_EQ(Send(WM_ACTIVATE, wParam), 0);
        EXPECT_EQ(isActive, active) << std::hex << wParam;
    }
    Send(WM_KEYDOWN, VK_PRIOR);
    EXPECT_TRUE(keyDown[VK_PRIOR]);
    EXPECT_EQ(Send(WM_KEYUP, VK_PRIOR), 0);
    EXPECT_FALSE(keyDown[VK_PRIOR]);
    Send(WM_KEYDOWN, 255);
    EXPECT_TRUE(keyDown[255]);
    EXPECT_EQ(Send(WM_KEYDOWN, 256), 0);  // no entry: nothing written
    Send(WM_SYSKEYDOWN, VK_F1);           // the default handling's, not recorded
    EXPECT_FALSE(keyDown[VK_F1]);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_FALSE(kv17::seam::ScreenSaverEnabled());
    Send(WM_SYSCOMMAND, SC_MONITORPOWER | 1);  // compared as a whole: another command
    EXPECT_TRUE(kv17::seam::ScreenSaverEnabled());
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);  // a quit with code 0 is posted; nothing destroyed
    EXPECT_EQ(kv17::seam::LiveWindows(), 1);
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
    }
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(WindowProcTest, SizeMessagesFitTheViewport) {
    const std::array<int, 4> rows[] = {{800, 600, 800, 600}, {0, 0, 0, 1}, {0, 480, 0, 480}};
    for (const auto& [width, height, viewWidth, viewHeight] : rows) {
        glTranslatef(1, 2, 3);  // where the last frame left the modelview
        EXPECT_EQ(Send(WM_SIZE, SIZE_RESTORED, (LPARAM)(width | height << 16)), 0);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], viewWidth);
        EXPECT_EQ(viewport[3], viewHeight);
        GLfloat modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);  // the identity again
        EXPECT_EQ(modelview[12] + modelview[13] + modelview[14], 0.0f);
    }
}

}  // namespace
