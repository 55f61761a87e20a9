#include "page.h"

#include <emscripten/emscripten.h>

// The page's side is Module.kv17Page, set up by page.js before the program
// starts.

EM_ASYNC_JS(int, kv17_ask_in_dialog, (const char* caption, const char* text, unsigned flags), {
    return await Module.kv17Page.askInDialog(UTF8ToString(caption), UTF8ToString(text), flags);
});

EM_ASYNC_JS(int, kv17_enter_full_screen, (), { return await Module.kv17Page.enterFullScreen(); });

EM_ASYNC_JS(void, kv17_leave_full_screen, (), { await Module.kv17Page.leaveFullScreen(); });

EM_ASYNC_JS(void, kv17_wait_for_next_frame, (), { await Module.kv17Page.nextFrame(); });

EM_ASYNC_JS(void, kv17_hold_frame, (int frame), { await Module.kv17Page.holdFrame(frame); });

EM_JS(int, kv17_keeps_frames, (), { return Module.kv17Page.keepsFrames(); });

EM_JS(void, kv17_tell_no_context, (), { Module.kv17Page.tellNoContext(); });

EM_JS(void, kv17_tell_ended, (int exitCode), { Module.kv17Page.tellEnded(exitCode); });

EM_JS(void, kv17_tell_bad_link, (const char* why),
      { Module.kv17Page.tellBadLink(UTF8ToString(why)); });

namespace kv17::page {

int AskInDialog(const char* caption, const char* text, unsigned flags) {
    return kv17_ask_in_dialog(caption, text, flags);
}

bool EnterFullScreen() { return kv17_enter_full_screen() != 0; }
void LeaveFullScreen() { kv17_leave_full_screen(); }
void WaitForNextFrame() { kv17_wait_for_next_frame(); }

void HoldFrame(int frame) { kv17_hold_frame(frame); }

bool KeepsFrames() { return kv17_keeps_frames() != 0; }
void TellNoContext() { kv17_tell_no_context(); }
void TellEnded(int exitCode) { kv17_tell_ended(exitCode); }
void TellBadLink(const char* why) { kv17_tell_bad_link(why); }

}  // namespace kv17::page
