// The Win32 window calls over SDL's headless driver: classes, windows,
// pixel formats, contexts, display modes, the cursor counter.
#include "gl_test_context.h"
#include "test_seam.h"
#include "win32_api.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

WNDCLASSA ClassNamed(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = name;
    return windowClass;
}

class PlatformWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        WNDCLASSA windowClass = ClassNamed("test");
        ASSERT_NE(RegisterClassA(&windowClass), 0);
    }
    void TearDown() override { kv17::seam::Reset(); }

    HWND Create(DWORD style, int width, int height, DWORD exStyle = 0) {
        RECT outer = {0, 0, width, height};
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
        return CreateWindowExA(exStyle, "test", "Title Text", style, 0, 0, outer.right - outer.left,
                               outer.bottom - outer.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
};

TEST_F(PlatformWindowTest, ClassRegistryRefusesDuplicatesUnknownsAndClassesInUse) {
    WNDCLASSA again = ClassNamed("test");
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_FALSE(UnregisterClassA("no such class", nullptr));
    HWND window = Create(WS_OVERLAPPEDWINDOW, 100, 100);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassA("test", nullptr));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA("test", nullptr));
    EXPECT_FALSE(UnregisterClassA("test", nullptr));
    EXPECT_NE(RegisterClassA(&again), 0);
}

TEST_F(PlatformWindowTest, WindowOfAnUnknownClassIsNotCreated) {
    EXPECT_EQ(CreateWindowExA(0, "missing", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST_F(PlatformWindowTest, AdjustedOverlappedWindowHasTheExactClientArea) {
    RECT outer = {0, 0, 640, 480};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    EXPECT_LT(outer.left, 0);
    EXPECT_LT(outer.top, outer.left);  // the caption sits on top
    EXPECT_GT(outer.right, 640);
    EXPECT_GT(outer.bottom, 480);

    HWND window = Create(WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 640, 480,
                         WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    ASSERT_NE(window, nullptr);
    kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(window);
    EXPECT_EQ(info.clientWidth, 640);
    EXPECT_EQ(info.clientHeight, 480);
    EXPECT_EQ(info.title, "Title Text");
    EXPECT_TRUE(info.resizable);
    EXPECT_FALSE(info.borderless);
    EXPECT_FALSE(info.visible);  // until ShowWindow
}

TEST_F(PlatformWindowTest, PopupWindowIsBorderlessAndAsLargeAsAsked) {
    RECT outer = {0, 0, 640, 480};
    AdjustWindowRectEx(&outer, WS_POPUP, FALSE, WS_EX_APPWINDOW);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 640);
    EXPECT_EQ(outer.bottom, 480);
    HWND window = Create(WS_POPUP, 640, 480);
    kv17::seam::WindowInfo info = kv17::seam::DescribeWindow(window);
    EXPECT_TRUE(info.borderless);
    EXPECT_FALSE(info.resizable);
    EXPECT_FALSE(info.fullscreen);  // no display mode was changed
    EXPECT_EQ(info.clientWidth, 640);
}

TEST_F(PlatformWindowTest, DisplayModeChangesOnlyToAListedMode) {
    DEVMODEA mode;
    memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    mode.dmBitsPerPel = 16;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    // The headless display lists no 640x480 mode, whatever SDL would accept.
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());

    kv17::seam::OfferDisplayMode(640, 480, 32);  // same size, another depth: accepted
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    HWND window = Create(WS_POPUP, 640, 480);
    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(kv17::seam::DescribeWindow(window).fullscreen);

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(kv17::seam::DisplayModeChanged());
    EXPECT_FALSE(kv17::seam::DescribeWindow(window).fullscreen);

    mode.dmPelsWidth = 800;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
}

TEST_F(PlatformWindowTest, CursorVisibilityIsACounter) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
}

TEST_F(PlatformWindowTest, PixelFormatIsChosenForRgbaGlWindowsAndSetOnce) {
    HWND window = Create(WS_POPUP, 64, 64);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(window), dc);  // the window's own DC

    PIXELFORMATDESCRIPTOR format = DemoPixelFormat();
    PIXELFORMATDESCRIPTOR colourIndex = format;
    colourIndex.iPixelType = 1;  // PFD_TYPE_COLORINDEX
    EXPECT_EQ(ChoosePixelFormat(dc, &colourIndex), 0);
    PIXELFORMATDESCRIPTOR noGl = format;
    noGl.dwFlags = PFD_DRAW_TO_WINDOW;
    EXPECT_EQ(ChoosePixelFormat(dc, &noGl), 0);

    int index = ChoosePixelFormat(dc, &format);
    EXPECT_GT(index, 0);
    EXPECT_EQ(wglCreateContext(dc), nullptr);  // no pixel format yet
    EXPECT_TRUE(SetPixelFormat(dc, index, &format));
    EXPECT_FALSE(SetPixelFormat(dc, index, &format));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(window, (HDC)&format), 0);
}

TEST_F(PlatformWindowTest, ContextIsCurrentOnlyOnceMadeCurrent) {
    HWND window = Create(WS_POPUP, 64, 64);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format = DemoPixelFormat();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format);
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);

    ASSERT_TRUE(wglMakeCurrent(dc, context));
    const char* version = (const char*)glGetString(GL_VERSION);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::string(version).find("Core"), std::string::npos) << version;
    // What the demo relies on: display lists, the attribute stack, depth.
    GLuint lists = glGenLists(256);
    EXPECT_NE(lists, 0u);
    glPushAttrib(GL_LIST_BIT);
    glListBase(7);
    glPopAttrib();
    GLint base = -1;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 0);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(wglDeleteContext(context));
    EXPECT_EQ(kv17::seam::LiveContexts(), 0);
}

TEST_F(PlatformWindowTest, InjectedFailureHitsTheNthCallOnly) {
    kv17::seam::FailCall("GetDC", 2);
    HWND window = Create(WS_POPUP, 64, 64);
    EXPECT_NE(GetDC(window), nullptr);
    EXPECT_EQ(GetDC(window), nullptr);
    EXPECT_NE(GetDC(window), nullptr);
}

TEST_F(PlatformWindowTest, ModuleIconAndCursorAreSystemTokens) {
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_WINLOGO), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, "named.ico"), nullptr);
}

}  // namespace
