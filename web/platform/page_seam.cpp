// The demo's seam on the page, which a link naming a moment drives: the
// start question answered No (windowed), any later question Yes, as
// kv17-capture answers them; keys pressed and released as its script says;
// and the run held at the frame named. Without such a link nothing here acts.
#include "page.h"
#include "page_moment.h"
#include "sdl_internal.h"
#include "seam_internal.h"

namespace {

struct Moment {
    int frame = 0;  // 0: the link names none
    std::vector<KeyHold> keys;
    int presented = 0;
    int questionsAsked = 0;
} moment;

void PostKey(HWND window, int virtualKey, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = kv17::platform::SdlIdOfWindow(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = kv17::platform::SdlKeyFromVirtualKey(virtualKey);
    event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
    SDL_PushEvent(&event);
}

// Keys go out while frame `made` is presented, so that they are down (or up)
// when the next frame is made, as kv17-capture presses them.
void PostKeysAfter(HWND window, int made) {
    for (const KeyHold& hold : moment.keys) {
        if (made == hold.firstFrame - 1) PostKey(window, hold.virtualKey, true);
        // F1 is released by the toggle itself; a key-up would reach the
        // window that the toggle closes.
        if (made == hold.lastFrame && hold.virtualKey != VK_F1)
            PostKey(window, hold.virtualKey, false);
    }
}

}  // namespace

namespace kv17::page {

void NameMoment(int frame, const std::vector<KeyHold>& keys) {
    moment.frame = frame;
    moment.keys = keys;
}

}  // namespace kv17::page

namespace kv17::seam {

bool CallFails(const char*) { return false; }
void RecordCall(const char*) {}

int ScriptedMessageBoxAnswer(const char*, const char*, unsigned flags) {
    if (moment.frame == 0 || (flags & 0x0F) != MB_YESNO) return -1;
    return moment.questionsAsked++ == 0 ? IDNO : IDYES;
}

void BeforeSwap(HDC dc) {
    if (moment.frame == 0) return;
    // On a page the window is never minimised: every presentation follows
    // a frame drawn, so their count is the frame's number.
    const int made = ++moment.presented;
    PostKeysAfter(dc->window, made);
    if (made == moment.frame) kv17::page::HoldFrame(made);
}

}  // namespace kv17::seam
