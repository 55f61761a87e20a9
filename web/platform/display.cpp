// The display on a page: SDL video on the canvas, full screen through the
// browser, the cursor and the screen saver.
//
//   ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) puts the canvas in full
//   screen, its picture scaled to fit with its aspect kept; that is every
//   mode the page has. It fails when the browser refuses (full screen needs
//   a user's click or key press, and a page in a frame needs its permission).
//   (NULL, 0) leaves full screen. The window stays the canvas either way.
//   ShowCursor keeps Win32's display counter: the cursor shows while >= 0.
#include "page.h"
#include "sdl_internal.h"
#include "seam_internal.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

struct DisplayState {
    int cursorCount = 0;
    bool fullScreen = false;  // the demo asked for it and has it
} display;

void ShowCursorAsCounted() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(display.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace

namespace kv17::platform {

// A page always has its canvas.
const std::string& WhyNoDisplay() {
    static const std::string none;
    return none;
}

bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Keys are the canvas's, so that the page's own controls keep theirs.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_KEYBOARD_ELEMENT, "#canvas");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    ShowCursorAsCounted();
    return true;
}

// The canvas is full screen already when the window is made: no mode for
// the window to take, and no window to take out of it later.
bool PendingFullscreenMode(SDL_DisplayMode*) { return false; }
void CoverScreenWith(SDL_Window*) {}
void ForgetScreenCover(SDL_Window*) {}

}  // namespace kv17::platform

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (kv17::seam::CallFails("ChangeDisplaySettingsA")) return DISP_CHANGE_FAILED;
    if (!mode) {
        display.fullScreen = false;
        kv17::page::LeaveFullScreen();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!(flags & CDS_FULLSCREEN)) return DISP_CHANGE_FAILED;  // only temporary changes
    display.fullScreen = kv17::page::EnterFullScreen();
    return display.fullScreen ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
}

// The browser left full screen by itself (Esc, F11): the window gets F1, so
// that the demo goes back to a window the way F1 takes it there.
extern "C" EMSCRIPTEN_KEEPALIVE void kv17_full_screen_left() {
    if (!display.fullScreen) return;
    display.fullScreen = false;
    SDL_Event f1{};
    f1.type = SDL_KEYDOWN;
    f1.key.windowID = kv17::platform::SdlIdOfWindow(GetFocus());
    f1.key.state = SDL_PRESSED;
    f1.key.keysym.sym = SDLK_F1;
    f1.key.keysym.scancode = SDL_SCANCODE_F1;
    SDL_PushEvent(&f1);
}

int WINAPI ShowCursor(BOOL show) {
    kv17::seam::RecordCall(show ? "ShowCursor(TRUE)" : "ShowCursor(FALSE)");
    display.cursorCount += show ? 1 : -1;
    ShowCursorAsCounted();
    return display.cursorCount;
}
