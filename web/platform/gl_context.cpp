// GL contexts and buffer swaps on the page (pixel formats: the desktop's
// pixel_format.cpp).
//
//   wglCreateContext   a GL 1.1 context of web/gl over the canvas's WebGL;
//                      null when the browser gives no WebGL. Creating it does
//                      not make it current, as in Win32
//   SwapBuffers        the browser shows what was drawn once the program
//                      yields; it yields until the next frame is due
#include "page.h"
#include "sdl_internal.h"
#include "seam_internal.h"

#include "contexts.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const char kCanvas[] = "#canvas";  // SDL's window on this page

struct ContextRecord {
    std::unique_ptr<HGLRC__> handle;
    kv17::gl::Context* gl;
};

struct ContextState {
    std::vector<ContextRecord> records;
} state;

ContextRecord* Find(HGLRC context) {
    for (ContextRecord& r : state.records)
        if (r.handle.get() == context) return &r;
    return nullptr;
}

}  // namespace

using kv17::platform::IsDC;
using kv17::platform::IsWindow;

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (kv17::seam::CallFails("wglCreateContext")) return nullptr;
    if (!IsDC(dc) || dc->pixelFormat == 0) return nullptr;
    kv17::gl::Context* gl = kv17::gl::CreateContext(kCanvas, kv17::page::KeepsFrames());
    if (!gl) {
        kv17::page::TellNoContext();
        return nullptr;
    }
    auto handle = std::make_unique<HGLRC__>();
    handle->window = dc->window;
    state.records.push_back({std::move(handle), gl});
    return state.records.back().handle.get();
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (kv17::seam::CallFails("wglMakeCurrent")) return FALSE;
    if (!context) {
        kv17::gl::MakeCurrent(nullptr);
        return TRUE;
    }
    ContextRecord* record = Find(context);
    if (!IsDC(dc) || !record || dc->window != context->window) return FALSE;
    kv17::gl::MakeCurrent(record->gl);
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (kv17::seam::CallFails("wglDeleteContext")) return FALSE;
    ContextRecord* record = Find(context);
    if (!record) return FALSE;
    kv17::gl::DeleteContext(record->gl);
    std::erase_if(state.records, [context](auto& r) { return r.handle.get() == context; });
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    kv17::seam::RecordCall("SwapBuffers");
    if (!IsDC(dc) || !IsWindow(dc->window)) return FALSE;
    kv17::seam::BeforeSwap(dc);
    kv17::page::WaitForNextFrame();
    return TRUE;
}
