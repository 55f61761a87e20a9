// Shared state of the SDL platform files: what a window, its device context
// and a GL context are here, and the few helpers the files share.
#pragma once

#include "win32_api.h"

#include <SDL.h>

#include <chrono>
#include <string>

// CS_OWNDC: each window has exactly one device context for its whole life.
struct HDC__ {
    HWND window = nullptr;
    int pixelFormat = 0;
    PIXELFORMATDESCRIPTOR formatAskedFor{};  // what SetPixelFormat was given
    HGDIOBJ selectedFont = nullptr;
};

struct HWND__ {
    SDL_Window* sdl = nullptr;
    std::string className;
    WNDPROC windowProc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT classStyle = 0;
    HDC__ dc;
};

struct HGLRC__ {
    SDL_GLContext context = nullptr;
    HWND window = nullptr;
};

namespace kv17::platform {

// SDL video on a real display, or on the offscreen driver when a test or tool
// asked for it explicitly. False when there is no display; WhyNoDisplay()
// then says why in a line a user can act on.
bool StartVideo();
void RequestOffscreenVideo();
const std::string& WhyNoDisplay();

// SIGINT, SIGTERM and SIGHUP become close requests (termination.cpp).
void CatchTerminationSignals();
int TakeTerminationSignal();  // the signal not yet acted on, or 0
// Around a message box: a termination signal before or during it ends the
// process, after taking the box down and restoring the display mode.
void BeginModalBox();
void EndModalBox();
// Sleeps until `deadline`; a termination signal, pending or arriving
// meanwhile, ends the sleep at once.
void SleepUntil(std::chrono::steady_clock::time_point deadline);

// Frame pacing (paced_swap.cpp): the demo presents a frame per refresh of
// the display, or as KV17_PACE says; the tests and tools are never paced.
// AskForSwapInterval acts on the context just made current.
void AskForSwapInterval();
void SwapPaced(SDL_Window* window);

// Display modes (display.cpp). The mode ChangeDisplaySettingsA chose for
// the next WS_POPUP window, if any; the window that then shows it, which
// restoring the mode takes out of full screen, until it goes.
bool PendingFullscreenMode(SDL_DisplayMode* mode);
void CoverScreenWith(SDL_Window* window);
void ForgetScreenCover(SDL_Window* window);

// Windows (window.cpp).
bool IsWindow(HWND window);
bool IsDC(HDC dc);
HWND WindowFromSdlId(Uint32 id);
Uint32 SdlIdOfWindow(HWND window);
// SendMessage: call the window procedure now, on this thread.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Focus bookkeeping, kept by window.cpp and the event translation.
void SetFocusWindow(HWND window);

// The message queue (messages.cpp).
void ForgetQueue();

int LiveWindowCount();
int ClassCount();
int LiveContextCount();
int LiveFontCount();

int VirtualKeyFromSdl(SDL_Keycode key);
SDL_Keycode SdlKeyFromVirtualKey(int virtualKey);

// Release everything the platform holds (test seam reset).
void ReleaseAllContexts();
void ReleaseAllWindows();
void ReleaseAllFonts();
void ForgetDisplayState();
void AddOfferedMode(int width, int height, int bits);
int CursorCount();
bool DisplayModeChanged();

}  // namespace kv17::platform

inline WPARAM MakeWParam(WORD low, WORD high) { return (WPARAM)low | ((WPARAM)high << 16); }
inline LPARAM MakeLParam(WORD low, WORD high) { return (LPARAM)((DWORD)low | ((DWORD)high << 16)); }
