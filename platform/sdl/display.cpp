// The display: starting SDL video, display-mode changes, the cursor and the
// screen saver.
//
//   ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) succeeds only for a mode
//   the display really lists (SDL itself never refuses one); the next
//   WS_POPUP window then covers the screen in it. (NULL, 0) restores.
//   ShowCursor keeps Win32's display counter: the cursor shows while >= 0.
#include "sdl_internal.h"
#include "seam_internal.h"

#include <malloc.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct DisplayState {
    bool offscreenRequested = false;
    std::string whyNoDisplay;
    bool fullscreenModeSet = false;
    SDL_DisplayMode fullscreenMode{};
    SDL_Window* coveringWindow = nullptr;       // the window showing that mode
    std::vector<SDL_DisplayMode> offeredModes;  // added by the test seam
    int cursorCount = 0;
} display;

bool Unset(const char* variable) { return variable == nullptr || *variable == '\0'; }

std::string DisplayName(bool driverAsked, const char* x11, const char* wayland) {
    if (driverAsked)
        return std::string("a display with SDL_VIDEODRIVER=") + SDL_GetHint(SDL_HINT_VIDEODRIVER);
    std::string name;
    if (!Unset(x11)) name = std::string("display \"") + x11 + "\"";
    if (!Unset(x11) && !Unset(wayland)) name += " or ";
    if (!Unset(wayland)) name += std::string("Wayland display \"") + wayland + "\"";
    return name;
}

bool IsHeadlessDriver(const char* driver) {
    return driver && (!strcmp(driver, "offscreen") || !strcmp(driver, "dummy"));
}

bool FindMode(int width, int height, int bits, bool anyBits, SDL_DisplayMode* found) {
    std::vector<SDL_DisplayMode> modes = display.offeredModes;
    for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back(mode);
    }
    for (const SDL_DisplayMode& mode : modes) {
        if (mode.w != width || mode.h != height) continue;
        if (!anyBits && (int)SDL_BITSPERPIXEL(mode.format) != bits) continue;
        *found = mode;
        return true;
    }
    return false;
}

// The load is never matched by an unload, so what SDL keeps for it (EGL's
// entry points, with the offscreen driver) is lost for good when SDL_Quit
// frees the video device at exit; the leak checker is told it is meant.
int LoadGlDriverForTheProcess() {
#ifdef __SANITIZE_ADDRESS__
    __lsan_disable();
#endif
    const int result = SDL_GL_LoadLibrary(nullptr);
#ifdef __SANITIZE_ADDRESS__
    __lsan_enable();
#endif
    return result;
}

}  // namespace

namespace kv17::platform {

const std::string& WhyNoDisplay() { return display.whyNoDisplay; }

void RequestOffscreenVideo() {
    display.offscreenRequested = true;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
}

bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    CatchTerminationSignals();
    // Closing the window is the window procedure's business, not a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // With neither X11 nor Wayland SDL falls back to a headless driver by
    // itself; a demo nobody can see counts as having no display, unless a
    // test, a tool or the user asked for a driver by name.
    const bool asked = display.offscreenRequested || !Unset(getenv("SDL_VIDEODRIVER"));
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if (!asked && Unset(x11) && Unset(wayland)) {
        display.whyNoDisplay = "no display to show a window on: DISPLAY is not set";
        return false;
    }
    // Only the kind of display the session has: outside a Wayland session
    // SDL would still try Wayland first, and libwayland complains on stderr
    // about XDG_RUNTIME_DIR.
    if (!asked && Unset(wayland)) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (!asked && Unset(x11)) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        display.whyNoDisplay =
            "cannot open " + DisplayName(asked, x11, wayland) + ": " + SDL_GetError();
        return false;
    }
    if (IsHeadlessDriver(SDL_GetCurrentVideoDriver()) && !asked) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        display.whyNoDisplay = "cannot open " + DisplayName(asked, x11, wayland);
        return false;
    }
    display.whyNoDisplay.clear();
    // Mesa's software rasterizer takes a few hundred KB at the top of the
    // heap on every frame and frees them again; glibc would hand them back
    // to the system each time and fault them in anew, which made pyramid
    // frames three times dearer. Freed memory is kept for reuse instead.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // Loaded once for the process: SDL would otherwise unload and reload the
    // GL driver each time the last window goes, as it does on every F1.
    if (LoadGlDriverForTheProcess() != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_ShowCursor(display.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

void AddOfferedMode(int width, int height, int bits) {
    SDL_DisplayMode mode{};
    mode.w = width;
    mode.h = height;
    mode.format = bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    display.offeredModes.push_back(mode);
}

void ForgetDisplayState() {
    display.fullscreenModeSet = false;
    display.coveringWindow = nullptr;
    display.whyNoDisplay.clear();
    display.offeredModes.clear();
    display.cursorCount = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_DisableScreenSaver();
    }
}

int CursorCount() { return display.cursorCount; }
bool DisplayModeChanged() { return display.fullscreenModeSet; }

bool PendingFullscreenMode(SDL_DisplayMode* mode) {
    if (!display.fullscreenModeSet) return false;
    *mode = display.fullscreenMode;
    return true;
}

void CoverScreenWith(SDL_Window* window) { display.coveringWindow = window; }

void ForgetScreenCover(SDL_Window* window) {
    if (display.coveringWindow == window) display.coveringWindow = nullptr;
}

}  // namespace kv17::platform

using namespace kv17::platform;

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (kv17::seam::CallFails("ChangeDisplaySettingsA")) return DISP_CHANGE_FAILED;
    if (!mode) {
        display.fullscreenModeSet = false;
        if (display.coveringWindow) SDL_SetWindowFullscreen(display.coveringWindow, 0);
        display.coveringWindow = nullptr;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!(flags & CDS_FULLSCREEN)) return DISP_CHANGE_FAILED;  // only temporary changes
    if (!StartVideo()) return DISP_CHANGE_FAILED;
    int width = (mode->dmFields & DM_PELSWIDTH) ? (int)mode->dmPelsWidth : 0;
    int height = (mode->dmFields & DM_PELSHEIGHT) ? (int)mode->dmPelsHeight : 0;
    // The exact depth if the display has it, else the same size at another
    // depth, as a driver emulating 16 bits would.
    bool anyBits = !(mode->dmFields & DM_BITSPERPEL);
    SDL_DisplayMode found;
    if (!FindMode(width, height, (int)mode->dmBitsPerPel, anyBits, &found) &&
        !FindMode(width, height, 0, true, &found))
        return DISP_CHANGE_BADMODE;
    display.fullscreenMode = found;
    display.fullscreenModeSet = true;
    return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL show) {
    kv17::seam::RecordCall(show ? "ShowCursor(TRUE)" : "ShowCursor(FALSE)");
    display.cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(display.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return display.cursorCount;
}
