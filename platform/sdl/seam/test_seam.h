// Test seam of the SDL platform: used by tests and tools only, never by the
// demo. It can make a chosen platform call fail as Win32 would report it,
// answer and record message boxes, record the calls that matter, run the
// headless (offscreen) video driver, inject input through SDL's event queue
// and look at a frame right before it is presented.
#pragma once

#include "win32_api.h"

#include <functional>
#include <string>
#include <vector>

namespace kv17::seam {

// Windows are created by SDL's offscreen driver (EGL pbuffers, no display).
// Must be called before the first window call of the process.
void UseOffscreenVideo();

// Make the nth call (1 = the next one) of `function`, e.g. "SetPixelFormat",
// fail without doing anything, returning what Win32 returns on failure.
void FailCall(const std::string& function, int nth = 1);

// From now on, append the name of every platform call that acquires or
// releases something, or that shows or posts something, to RecordedCalls().
void RecordCalls();
const std::vector<std::string>& RecordedCalls();

// Message boxes: while answers are scripted, boxes are not shown but
// recorded and answered from the script in order; when the script runs out
// the declining answer is given (IDNO for a question, IDOK otherwise).
struct MessageBoxShown {
    std::string caption;
    std::string text;
    unsigned flags;
};
void AnswerMessageBoxes(const std::vector<int>& answers);
const std::vector<MessageBoxShown>& MessageBoxesShown();
// Print every box as "CAPTION: text" to stderr instead of showing it.
void MessageBoxesToStderr();

// Offer an extra display mode (the offscreen driver lists none).
void OfferDisplayMode(int width, int height, int bits);

// Called right before each SwapBuffers, with the back buffer still intact.
void OnSwapBuffers(std::function<void(HDC)> hook);

// Queue SDL input events for the window, translated as real ones are.
void PostKey(HWND window, int virtualKey, bool down, bool alt = false);
void PostMinimize(HWND window);
void PostRestore(HWND window);
void PostCloseButton(HWND window);

// Why no window could be opened for want of a display, or "" (one line).
std::string WhyNoDisplay();

// What the platform holds now.
struct WindowInfo {
    std::string title;
    DWORD style;
    DWORD exStyle;
    UINT classStyle;
    PIXELFORMATDESCRIPTOR pixelFormat;  // as given to SetPixelFormat
    int clientWidth;
    int clientHeight;
    bool visible;
    bool fullscreen;
    bool borderless;
    bool resizable;
};
WindowInfo DescribeWindow(HWND window);
int LiveWindows();
int LiveContexts();
int LiveFonts();  // font objects created and not yet deleted
int RegisteredClasses();
int CursorCount();
bool DisplayModeChanged();
bool ScreenSaverEnabled();

// Release every window, context, font and class left behind (an injected
// failure leaves them, as a real one would) and forget all of the above.
void Reset();

}  // namespace kv17::seam
