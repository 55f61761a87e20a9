// A current GL context on a headless window, made through the same Win32
// calls the demo makes, for the tests and benchmarks that draw without the
// demo's own window; everything is released again on destruction.
#pragma once

#include "test_seam.h"
#include "win32_api.h"

class GlTestContext {
public:
    explicit GlTestContext(int width = 640, int height = 480) {
        kv17::seam::UseOffscreenVideo();
        kv17::seam::AnswerMessageBoxes({});
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "kv17 test";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "kv17 test", "kv17 test", WS_POPUP, 0, 0, width, height,
                                 nullptr, nullptr, nullptr, nullptr);
        dc = GetDC(window);
        PIXELFORMATDESCRIPTOR request{};  // the demo's: RGBA, double buffered, 16-bit
        request.nSize = sizeof request;
        request.nVersion = 1;
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        request.iPixelType = PFD_TYPE_RGBA;
        request.cColorBits = request.cDepthBits = 16;
        SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request);
        context = wglCreateContext(dc);
        current = wglMakeCurrent(dc, context);
    }
    ~GlTestContext() { kv17::seam::Reset(); }
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool ok() const { return current; }

    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    bool current = false;
};
