#include "gl_window.h"

#include "demo_state.h"
#include "outline_font.h"
#include "render_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

namespace {

const char kClassName[] = "OpenGL";

// Set-up failures: caption "ERROR".
const char kSetupCaption[] = "ERROR";
const char kRegisterFailed[] = "Failed To Register The Window Class.";
const char kFullscreenRefused[] =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
    "Instead?";
const char kFullscreenCaption[] = "Orix GL";
const char kWillClose[] = "Program Will Now Close.";
const char kCreateWindowFailed[] = "Window Creation Error.";
const char kGetDCFailed[] = "Can't Create A GL Device Context.";
const char kChooseFormatFailed[] = "Can't Find A Suitable PixelFormat.";
const char kSetFormatFailed[] = "Can't Set The PixelFormat.";
const char kCreateContextFailed[] = "Can't Create A GL Rendering Context.";
const char kActivateContextFailed[] = "Can't Activate The GL Rendering Context.";
const char kInitFailed[] = "Initialization Failed.";

// Teardown failures: caption "SHUTDOWN ERROR"; teardown goes on.
const char kShutdownCaption[] = "SHUTDOWN ERROR";
const char kReleaseContextFailed[] = "Release Of DC And RC Failed.";
const char kDeleteContextFailed[] = "Release Rendering Context Failed.";
const char kReleaseDCFailed[] = "Release Device Context Failed.";
const char kDestroyWindowFailed[] = "Could Not Release hWnd.";
const char kUnregisterFailed[] = "Could Not Unregister Class.";

constexpr double kFieldOfView = 45.0;
// NOTE: the near plane is the float 0.1 widened to double (0.10000000149...).
constexpr float kNearPlane = 0.1f;
constexpr double kFarPlane = 100.0;

// The pixel format asked for; the fields from cColorBits on are filled by
// the first open whose window exists and kept for the rest of the process.
PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    return request;
}

PIXELFORMATDESCRIPTOR pixelFormat = PixelFormatRequest();
bool pixelFormatFilled = false;

void FillPixelFormat(int bits) {
    pixelFormat.cColorBits = (BYTE)bits;
    pixelFormat.cDepthBits = 16;
    pixelFormat.iLayerType = PFD_MAIN_PLANE;
    pixelFormatFilled = true;
}

// Tear down what was built, then say why: the display mode is back and the
// cursor visible by the time the box shows.
bool FailOpen(const char* text) {
    CloseDemoWindow();
    MessageBoxA(nullptr, text, kSetupCaption, MB_ICONEXCLAMATION);
    return false;
}

void ReportShutdownError(const char* text) {
    MessageBoxA(nullptr, text, kShutdownCaption, MB_ICONINFORMATION);
}

bool ChangeToFullscreenMode(int width, int height, int bits) {
    DEVMODEA mode;
    memset(&mode, 0, sizeof(mode));
    // The size of this platform's record: 156 bytes with MinGW's headers,
    // 148 in the WINVER 0x0400 layout that platform/sdl declares.
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

}  // namespace

bool OpenDemoWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    isFullscreen = fullscreen;
    appInstance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = DemoWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // GL paints every pixel
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        MessageBoxA(nullptr, kRegisterFailed, kSetupCaption, MB_ICONEXCLAMATION);
        return false;
    }

    if (isFullscreen && !ChangeToFullscreenMode(width, height, bits)) {
        if (MessageBoxA(nullptr, kFullscreenRefused, kFullscreenCaption,
                        MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            MessageBoxA(nullptr, kWillClose, kSetupCaption, MB_ICONSTOP);
            return false;
        }
        isFullscreen = false;
    }

    DWORD exStyle;
    DWORD style;
    if (isFullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }

    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    mainWindow = CreateWindowExA(
        exStyle, kClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, appInstance, nullptr);
    if (!mainWindow) return FailOpen(kCreateWindowFailed);

    if (!pixelFormatFilled) FillPixelFormat(bits);

    windowDC = GetDC(mainWindow);
    if (!windowDC) return FailOpen(kGetDCFailed);
    int format = ChoosePixelFormat(windowDC, &pixelFormat);
    if (!format) return FailOpen(kChooseFormatFailed);
    if (!SetPixelFormat(windowDC, format, &pixelFormat)) return FailOpen(kSetFormatFailed);
    renderContext = wglCreateContext(windowDC);
    if (!renderContext) return FailOpen(kCreateContextFailed);
    if (!wglMakeCurrent(windowDC, renderContext)) return FailOpen(kActivateContextFailed);

    ShowWindow(mainWindow, SW_SHOW);
    SetForegroundWindow(mainWindow);
    SetFocus(mainWindow);
    // Size messages sent while the window was being made found no context.
    ResizeScene(width, height);

    if (!InitScene()) return FailOpen(kInitFailed);
    return true;
}

void CloseDemoWindow() {
    if (isFullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }

    if (renderContext) {
        if (!wglMakeCurrent(nullptr, nullptr)) ReportShutdownError(kReleaseContextFailed);
        if (!wglDeleteContext(renderContext)) ReportShutdownError(kDeleteContextFailed);
        renderContext = nullptr;
    }
    if (windowDC) {
        if (!ReleaseDC(mainWindow, windowDC)) ReportShutdownError(kReleaseDCFailed);
        windowDC = nullptr;
    }
    if (mainWindow) {
        if (!DestroyWindow(mainWindow)) ReportShutdownError(kDestroyWindowFailed);
        mainWindow = nullptr;
    }
    if (!UnregisterClassA(kClassName, appInstance)) ReportShutdownError(kUnregisterFailed);
    appInstance = nullptr;

    DeleteOutlineFont();
}

LRESULT CALLBACK DemoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // Only minimising counts; losing the focus leaves the demo running.
        isActive = HIWORD(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam < 256) keyDown[wParam] = true;  // posted codes can be anything
        return 0;
    case WM_KEYUP:
        if (wParam < 256) keyDown[wParam] = false;
        return 0;
    case WM_SIZE:
        ResizeScene(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ResizeScene(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, (double)width / (double)height, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
