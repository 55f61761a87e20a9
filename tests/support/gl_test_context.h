// A current GL context on a headless 640x480 window, made through the same
// Win32 calls the demo makes; everything is released again on destruction.
#pragma once

#include "test_seam.h"
#include "win32_api.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

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
        request.nSize = 40, request.nVersion = 1, request.dwFlags = 0x25;
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

// An RGB pixel read back from the frame being drawn.
struct Rgb {
    int r, g, b;
};

// Reads the frame as RGB rows, bottom row first.
inline std::vector<uint8_t> ReadFrame(int width = 640, int height = 480) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

inline Rgb PixelAt(const std::vector<uint8_t>& frame, int x, int y, int width = 640) {
    const uint8_t* p = &frame[((size_t)y * width + x) * 3];
    return {p[0], p[1], p[2]};
}

// The first `count` values of a piece of GL state, as floats.
inline std::vector<GLfloat> GetFloats(GLenum name, int count = 1) {
    GLfloat values[16] = {};
    glGetFloatv(name, values);
    return {values, values + count};
}
