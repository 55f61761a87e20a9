// GL contexts and buffer swaps (pixel formats: pixel_format.cpp).
//
//   wglCreateContext   a compatibility context (GL 1.1 immediate mode,
//                      display lists, attribute stack); creating it does not
//                      make it current, as in Win32
//   SwapBuffers        presents the frame when it is due (paced_swap.cpp)
#include "sdl_internal.h"
#include "seam_internal.h"

#include "font_match.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct ContextState {
    std::vector<std::unique_ptr<HGLRC__>> contexts;
} gl;

bool IsContext(HGLRC context) {
    return std::any_of(gl.contexts.begin(), gl.contexts.end(),
                       [context](auto& c) { return c.get() == context; });
}

}  // namespace

namespace kv17::platform {

int LiveContextCount() { return (int)gl.contexts.size(); }

void ReleaseAllContexts() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GL_MakeCurrent(nullptr, nullptr);
    for (auto& c : gl.contexts) SDL_GL_DeleteContext(c->context);
    gl.contexts.clear();
}

}  // namespace kv17::platform

using kv17::platform::IsDC;
using kv17::platform::IsWindow;

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (kv17::seam::CallFails("wglCreateContext")) return nullptr;
    if (!IsDC(dc) || dc->pixelFormat == 0) return nullptr;
    // Outline fonts come next in a GL program; fontconfig gets ready meanwhile.
    kv17::platform::LoadFontConfigurationAhead();
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(dc->window->sdl);
    // SDL makes a new context current; Win32 leaves the current one alone.
    SDL_GL_MakeCurrent(previousWindow, previous);
    if (!context) return nullptr;
    auto record = std::make_unique<HGLRC__>();
    record->context = context;
    record->window = dc->window;
    gl.contexts.push_back(std::move(record));
    return gl.contexts.back().get();
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (kv17::seam::CallFails("wglMakeCurrent")) return FALSE;
    if (!context) {
        if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GL_MakeCurrent(nullptr, nullptr);
        return TRUE;
    }
    if (!IsDC(dc) || !IsContext(context) || dc->window != context->window) return FALSE;
    if (SDL_GL_MakeCurrent(dc->window->sdl, context->context) != 0) return FALSE;
    kv17::platform::AskForSwapInterval();
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (kv17::seam::CallFails("wglDeleteContext")) return FALSE;
    if (!IsContext(context)) return FALSE;
    if (SDL_GL_GetCurrentContext() == context->context) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(context->context);
    std::erase_if(gl.contexts, [context](auto& c) { return c.get() == context; });
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    kv17::seam::RecordCall("SwapBuffers");
    if (!IsDC(dc) || !IsWindow(dc->window)) return FALSE;
    kv17::seam::BeforeSwap(dc);
    // A swap implies a flush. The headless driver's pbuffers swap nothing
    // and so never flush, and llvmpipe would queue frames without bound.
    if (SDL_GL_GetCurrentWindow() == dc->window->sdl) glFlush();
    kv17::platform::SwapPaced(dc->window->sdl);
    return TRUE;
}
