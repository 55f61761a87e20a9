// The test seam: injected failures, recorded calls and message boxes,
// synthetic input, and a look at each frame before it is presented. Linked
// into the tests and tools; the demo links no_seam.cpp instead.
#include "test_seam.h"

#include "sdl_internal.h"
#include "seam_internal.h"

#include <deque>
#include <map>

namespace {

struct SeamState {
    std::map<std::string, int> failures;  // function -> calls left until it fails
    bool recording = false;
    std::vector<std::string> calls;
    bool answersScripted = false;
    std::deque<int> answers;
    std::vector<kv17::seam::MessageBoxShown> boxes;
    bool boxesToStderr = false;
    std::function<void(HDC)> swapHook;
} seams;

void PushWindowEvent(HWND window, SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = kv17::platform::SdlIdOfWindow(window);
    event.window.event = id;
    SDL_PushEvent(&event);
}

}  // namespace

namespace kv17::seam {

void BeforeSwap(HDC dc) {
    if (seams.swapHook) seams.swapHook(dc);
}

void RecordCall(const char* function) {
    if (seams.recording) seams.calls.emplace_back(function);
}

bool CallFails(const char* function) {
    RecordCall(function);
    auto due = seams.failures.find(function);
    if (due == seams.failures.end()) return false;
    if (--due->second > 0) return false;
    seams.failures.erase(due);
    return true;
}

int ScriptedMessageBoxAnswer(const char* text, const char* caption, unsigned flags) {
    if (!seams.answersScripted) return -1;
    seams.boxes.push_back({caption, text, flags});
    if (seams.answers.empty()) return (flags & 0x0F) == MB_YESNO ? IDNO : IDOK;
    int answer = seams.answers.front();
    seams.answers.pop_front();
    return answer;
}

bool MessageBoxesGoToStderr() { return seams.boxesToStderr; }
bool PaceFrames() { return false; }

void UseOffscreenVideo() { kv17::platform::RequestOffscreenVideo(); }

void FailCall(const std::string& function, int nth) { seams.failures[function] = nth; }

void RecordCalls() { seams.recording = true; }
const std::vector<std::string>& RecordedCalls() { return seams.calls; }

void AnswerMessageBoxes(const std::vector<int>& answers) {
    seams.answersScripted = true;
    seams.answers.assign(answers.begin(), answers.end());
}
const std::vector<MessageBoxShown>& MessageBoxesShown() { return seams.boxes; }
void MessageBoxesToStderr() { seams.boxesToStderr = true; }

void OfferDisplayMode(int width, int height, int bits) {
    kv17::platform::AddOfferedMode(width, height, bits);
}

void OnSwapBuffers(std::function<void(HDC)> hook) { seams.swapHook = std::move(hook); }

void PostKey(HWND window, int virtualKey, bool down, bool alt) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = kv17::platform::SdlIdOfWindow(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = kv17::platform::SdlKeyFromVirtualKey(virtualKey);
    event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
    event.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
    SDL_PushEvent(&event);
}

void PostMinimize(HWND window) { PushWindowEvent(window, SDL_WINDOWEVENT_MINIMIZED); }
void PostRestore(HWND window) { PushWindowEvent(window, SDL_WINDOWEVENT_RESTORED); }
void PostCloseButton(HWND window) { PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE); }

WindowInfo DescribeWindow(HWND window) {
    WindowInfo info{};
    if (!kv17::platform::IsWindow(window)) return info;
    Uint32 flags = SDL_GetWindowFlags(window->sdl);
    info.title = SDL_GetWindowTitle(window->sdl);
    info.style = window->style;
    info.exStyle = window->exStyle;
    info.classStyle = window->classStyle;
    info.pixelFormat = window->dc.formatAskedFor;
    SDL_GetWindowSize(window->sdl, &info.clientWidth, &info.clientHeight);
    info.visible = flags & SDL_WINDOW_SHOWN;
    info.fullscreen = flags & SDL_WINDOW_FULLSCREEN;
    info.borderless = flags & SDL_WINDOW_BORDERLESS;
    info.resizable = flags & SDL_WINDOW_RESIZABLE;
    return info;
}

std::string WhyNoDisplay() { return kv17::platform::WhyNoDisplay(); }

int LiveWindows() { return kv17::platform::LiveWindowCount(); }
int LiveContexts() { return kv17::platform::LiveContextCount(); }
int LiveFonts() { return kv17::platform::LiveFontCount(); }
int RegisteredClasses() { return kv17::platform::ClassCount(); }
int CursorCount() { return kv17::platform::CursorCount(); }
bool DisplayModeChanged() { return kv17::platform::DisplayModeChanged(); }
bool ScreenSaverEnabled() { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_IsScreenSaverEnabled(); }

void Reset() {
    kv17::platform::ReleaseAllContexts();
    kv17::platform::ReleaseAllWindows();
    kv17::platform::ReleaseAllFonts();
    kv17::platform::ForgetDisplayState();
    kv17::platform::ForgetQueue();
    bool toStderr = seams.boxesToStderr;
    seams = SeamState{};
    seams.boxesToStderr = toStderr;
}

}  // namespace kv17::seam
