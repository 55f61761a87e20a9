// The thread's message queue, default window handling, and the translation
// of SDL events into the window messages a Win32 program receives.
//
//   keys              WM_KEYDOWN / WM_KEYUP with virtual-key codes; with Alt
//                     held, and F10, WM_SYSKEYDOWN / WM_SYSKEYUP
//   minimise/restore  WM_ACTIVATE (minimised flag in the high word) + WM_SIZE
//   focus changes     WM_ACTIVATE
//   size changes      WM_SIZE with the client size (0 x 0 when minimised)
//   close button      WM_SYSCOMMAND(SC_CLOSE); its default handling sends
//                     WM_CLOSE, whose default handling destroys the window
//   WM_QUIT           retrieved once nothing else is queued, as in Win32
#include "sdl_internal.h"
#include "seam_internal.h"

#include <deque>

namespace {

struct QueueState {
    std::deque<MSG> messages;
    bool quitPosted = false;
    int quitCode = 0;
} queue;

// PostMessage: append to the thread's queue.
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    queue.messages.push_back(msg);
}

HWND TargetOf(Uint32 sdlWindowId) {
    HWND window = kv17::platform::WindowFromSdlId(sdlWindowId);
    return window ? window : GetFocus();
}

void TranslateKey(const SDL_KeyboardEvent& key) {
    HWND window = TargetOf(key.windowID);
    int virtualKey = kv17::platform::VirtualKeyFromSdl(key.keysym.sym);
    if (!window || !virtualKey) return;
    bool down = key.type == SDL_KEYDOWN;
    bool alt = key.keysym.mod & KMOD_ALT;
    bool system = alt || virtualKey == 0x79;  // VK_F10 opens the menu bar
    UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    // Repeat count 1, context code (Alt), previous state, transition state.
    LPARAM flags = 1;
    if (alt) flags |= 1L << 29;
    if (!down || key.repeat) flags |= 1L << 30;
    if (!down) flags |= (LPARAM)1 << 31;
    PostToQueue(window, message, (WPARAM)virtualKey, flags);
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    HWND window = kv17::platform::WindowFromSdlId(event.windowID);
    if (!window) return;
    bool minimised = SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED;
    int width, height;
    switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        PostToQueue(window, WM_ACTIVATE, MakeWParam(WA_INACTIVE, 1), 0);
        PostToQueue(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        SDL_GetWindowSize(window->sdl, &width, &height);
        PostToQueue(window, WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0), 0);
        PostToQueue(window, WM_SIZE, SIZE_RESTORED, MakeLParam(width, height));
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        kv17::platform::SetFocusWindow(window);
        PostToQueue(window, WM_ACTIVATE, MakeWParam(WA_ACTIVE, minimised), 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (GetFocus() == window) kv17::platform::SetFocusWindow(nullptr);
        PostToQueue(window, WM_ACTIVATE, MakeWParam(WA_INACTIVE, minimised), 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        PostToQueue(window, WM_SIZE, SIZE_RESTORED, MakeLParam(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_CLOSE:
        PostToQueue(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
}

// A termination signal, or SDL's quit: ask the window to close.
void RequestClose() {
    if (HWND window = GetFocus())
        PostToQueue(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        PostQuitMessage(0);
}

void TranslateSdlEvents() {
    if (kv17::platform::TakeTerminationSignal() != 0) RequestClose();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event.key);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_QUIT:
            RequestClose();
            break;
        default:
            break;
        }
    }
}

}  // namespace

namespace kv17::platform {

void ForgetQueue() {
    queue = QueueState{};
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace kv17::platform

BOOL WINAPI PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
    if (queue.messages.empty()) TranslateSdlEvents();
    if (!queue.messages.empty()) {
        *msg = queue.messages.front();
        if (removeFlags & PM_REMOVE) queue.messages.pop_front();
        return TRUE;
    }
    if (queue.quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = (WPARAM)queue.quitCode;
        if (removeFlags & PM_REMOVE) queue.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    // Character messages are never needed here; report whether it was a key.
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !kv17::platform::IsWindow(msg->hwnd)) return 0;
    return kv17::platform::SendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    kv17::seam::RecordCall("PostQuitMessage");
    queue.quitPosted = true;
    queue.quitCode = exitCode;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return kv17::platform::SendToWindow(window, WM_CLOSE, 0, 0);
        case SC_SCREENSAVE:
        case SC_MONITORPOWER:
            SDL_EnableScreenSaver();
            return 0;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == 0x73)  // Alt+F4
            return kv17::platform::SendToWindow(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return 0;
    }
}
