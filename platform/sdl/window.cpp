// Window classes, windows, their device contexts and the keyboard focus.
//
//   RegisterClassA / UnregisterClassA   a registry by name; a class in use
//                                       by a window cannot be unregistered
//   AdjustWindowRectEx / CreateWindowExA agree on one nominal frame, so the
//                                       client area is exactly what was asked
//   CreateWindowExA, ShowWindow,        send WM_SIZE / WM_ACTIVATE to the
//   DestroyWindow                       window procedure before returning
//   GetDC / ReleaseDC                   the window's own DC (CS_OWNDC)
#include "sdl_internal.h"
#include "seam_internal.h"

#include <map>
#include <memory>
#include <vector>

namespace {

struct RegisteredClass {
    WNDCLASSA record;
    std::string name;
};

struct WindowState {
    std::map<std::string, RegisteredClass> classes;
    std::vector<std::unique_ptr<HWND__>> windows;
    HWND focus = nullptr;
    ATOM nextAtom = 0xC000;  // where Win32 starts numbering registered classes
} windowing;

// Classic Win32 metrics: a sizing frame of 8 pixels and a 23-pixel caption.
constexpr LONG kFrame = 8;
constexpr LONG kCaption = 23;
constexpr DWORD kCaptionStyle = 0x00C00000L;  // WS_CAPTION
constexpr DWORD kSizingStyle = 0x00040000L;   // WS_THICKFRAME
constexpr DWORD kVisibleStyle = 0x10000000L;  // WS_VISIBLE

// The module and the system icon and cursor are tokens: nothing loads them.
char moduleToken;
char iconToken;
char cursorToken;

bool IsIntResource(LPCSTR name) { return ((uintptr_t)name >> 16) == 0; }

// The client size; 0 x 0 while minimised, as Win32 reports it.
void ClientSize(HWND window, int* width, int* height) {
    SDL_GetWindowSize(window->sdl, width, height);
    if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) *width = *height = 0;
}

// Win32 asks the window procedure with SC_SCREENSAVE when the screen saver is
// due, and only the default handling lets it start. SDL never sees that
// moment, so a newly shown window is asked once and the answer holds.
void ScreenSaverFollowsWindowProc(HWND window) {
    SDL_DisableScreenSaver();
    kv17::platform::SendToWindow(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

void DestroySdlWindow(SDL_Window* sdl) {
    kv17::platform::ForgetScreenCover(sdl);
    SDL_DestroyWindow(sdl);
}

}  // namespace

namespace kv17::platform {

bool IsWindow(HWND window) {
    for (auto& w : windowing.windows)
        if (w.get() == window) return true;
    return false;
}

bool IsDC(HDC dc) {
    for (auto& w : windowing.windows)
        if (&w->dc == dc) return true;
    return false;
}

HWND WindowFromSdlId(Uint32 id) {
    for (auto& w : windowing.windows)
        if (SDL_GetWindowID(w->sdl) == id) return w.get();
    return nullptr;
}

Uint32 SdlIdOfWindow(HWND window) { return IsWindow(window) ? SDL_GetWindowID(window->sdl) : 0; }

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window) || !window->windowProc) return 0;
    return window->windowProc(window, message, wParam, lParam);
}

void SetFocusWindow(HWND window) { windowing.focus = window; }

int LiveWindowCount() { return (int)windowing.windows.size(); }
int ClassCount() { return (int)windowing.classes.size(); }

void ReleaseAllWindows() {
    while (!windowing.windows.empty()) {
        DestroySdlWindow(windowing.windows.back()->sdl);
        windowing.windows.pop_back();
    }
    windowing.classes.clear();
    windowing.focus = nullptr;
}

}  // namespace kv17::platform

using namespace kv17::platform;

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    // Only the program's own module exists here.
    return moduleName ? nullptr : (HMODULE)&moduleToken;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return (!instance && IsIntResource(name)) ? (HICON)&iconToken : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return (!instance && IsIntResource(name)) ? (HCURSOR)&cursorToken : nullptr;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (kv17::seam::CallFails("RegisterClassA")) return 0;
    if (!windowClass || !windowClass->lpszClassName || IsIntResource(windowClass->lpszClassName))
        return 0;
    std::string name = windowClass->lpszClassName;
    if (windowing.classes.count(name)) return 0;  // ERROR_CLASS_ALREADY_EXISTS
    RegisteredClass entry{*windowClass, name};
    windowing.classes.emplace(name, entry);
    return windowing.nextAtom++;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (kv17::seam::CallFails("UnregisterClassA")) return FALSE;
    if (!className || IsIntResource(className)) return FALSE;
    auto found = windowing.classes.find(className);
    if (found == windowing.classes.end()) return FALSE;  // ERROR_CLASS_DOES_NOT_EXIST
    for (auto& w : windowing.windows)
        if (w->className == found->first) return FALSE;  // ERROR_CLASS_HAS_WINDOWS
    windowing.classes.erase(found);
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL, DWORD) {
    if (!rect) return FALSE;
    if (style & kSizingStyle) {
        rect->left -= kFrame;
        rect->top -= kFrame;
        rect->right += kFrame;
        rect->bottom += kFrame;
    }
    if (style & kCaptionStyle) rect->top -= kCaption;
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (kv17::seam::CallFails("CreateWindowExA")) return nullptr;
    if (!className || IsIntResource(className)) return nullptr;
    auto found = windowing.classes.find(className);
    if (found == windowing.classes.end()) return nullptr;
    if (!StartVideo()) return nullptr;

    // The caller passes the outer size; SDL wants the client size.
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int clientWidth = width - (frame.right - frame.left);
    int clientHeight = height - (frame.bottom - frame.top);
    if (clientWidth < 1 || clientHeight < 1) return nullptr;

    Uint32 flags = SDL_WINDOW_OPENGL;
    if (!(style & kVisibleStyle)) flags |= SDL_WINDOW_HIDDEN;
    if (style & kSizingStyle) flags |= SDL_WINDOW_RESIZABLE;
    SDL_DisplayMode mode;
    bool fullscreen = (style & WS_POPUP) && PendingFullscreenMode(&mode);
    if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;

    // SDL fixes the window's visual at creation, so the pixel format every
    // window offers is requested here: RGB 5-6-5 (the closest the display
    // gives), a 16-bit depth buffer and double buffering.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    SDL_Window* sdl = SDL_CreateWindow(windowName ? windowName : "", x - frame.left, y - frame.top,
                                       clientWidth, clientHeight, flags);
    if (!sdl) return nullptr;
    if (fullscreen) {
        SDL_SetWindowDisplayMode(sdl, &mode);
        CoverScreenWith(sdl);
    }

    auto window = std::make_unique<HWND__>();
    window->sdl = sdl;
    window->className = found->first;
    window->windowProc = found->second.record.lpfnWndProc;
    window->style = style;
    window->exStyle = exStyle;
    window->classStyle = found->second.record.style;
    window->dc.window = window.get();
    HWND handle = window.get();
    windowing.windows.push_back(std::move(window));

    SendToWindow(handle, WM_SIZE, SIZE_RESTORED, MakeLParam(clientWidth, clientHeight));
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    if (kv17::seam::CallFails("DestroyWindow")) return FALSE;
    if (!IsWindow(window)) return FALSE;
    if (windowing.focus == window) {
        SendToWindow(window, WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0), 0);
        windowing.focus = nullptr;
    }
    DestroySdlWindow(window->sdl);
    std::erase_if(windowing.windows, [window](auto& w) { return w.get() == window; });
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    if (kv17::seam::CallFails("ShowWindow")) return FALSE;
    if (!IsWindow(window) || command != SW_SHOW) return FALSE;
    bool wasVisible = SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN;
    if (wasVisible) return TRUE;
    SDL_ShowWindow(window->sdl);
    int width, height;
    ClientSize(window, &width, &height);
    SendToWindow(window, WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0), 0);
    SendToWindow(window, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
    ScreenSaverFollowsWindowProc(window);
    return FALSE;  // Win32: "the window was previously hidden"
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    kv17::seam::RecordCall("SetForegroundWindow");
    if (!IsWindow(window)) return FALSE;
    SDL_RaiseWindow(window->sdl);
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    kv17::seam::RecordCall("SetFocus");
    if (window && !IsWindow(window)) return nullptr;
    HWND previous = windowing.focus;
    windowing.focus = window;
    return previous;
}

HWND WINAPI GetFocus(void) { return IsWindow(windowing.focus) ? windowing.focus : nullptr; }

HDC WINAPI GetDC(HWND window) {
    if (kv17::seam::CallFails("GetDC")) return nullptr;
    return IsWindow(window) ? &window->dc : nullptr;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    if (kv17::seam::CallFails("ReleaseDC")) return 0;
    return (IsWindow(window) && dc == &window->dc) ? 1 : 0;
}
