#include "demo_main.h"

#include "demo_state.h"
#include "frame_timeline.h"
#include "gl_window.h"

namespace {

const char kTitle[] = "Morvane KV17 Demo - l33t";
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kBits = 16;

constexpr float kDepthStep = 0.02f;
constexpr float kRisingThreshold = 9.0f;
// NOTE: a double on purpose: the float nearest 0.4 (0.4000000059604645)
// compares above it, which shifts every turn of the rhythm.
constexpr double kFallingThreshold = 0.4;
constexpr float kRisingFactor = 1.01f;
constexpr float kFallingFactor = 0.9f;

// The loop ended on Esc or a failed frame: a normal end, not an error.
constexpr int kExitNormal = 0;
// A window that could not be opened (at start or on the F1 reopen) is a
// failed run; the user has already been told why.
constexpr int kExitOpenFailed = 1;

}  // namespace

void AdvanceSpinRhythm() {
    if (spinRising && spinStepX >= kRisingThreshold && spinStepY >= kRisingThreshold) {
        spinRising = false;
        flashPending = true;
    }
    if (!spinRising && spinStepX <= kFallingThreshold && spinStepY <= kFallingThreshold)
        spinRising = true;
    // The update that turns the direction already applies the new factor.
    float factor = spinRising ? kRisingFactor : kFallingFactor;
    spinStepX *= factor;
    spinStepY *= factor;
}

int WINAPI DemoMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (MessageBoxA(nullptr, "Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                    MB_YESNO | MB_ICONQUESTION) == IDNO)
        isFullscreen = false;

    if (!OpenDemoWindow(kTitle, kWidth, kHeight, kBits, isFullscreen)) return kExitOpenFailed;

    MSG msg{};
    int exitCode = kExitNormal;
    bool done = false;
    for (;;) {
        if (done) {
            CloseDemoWindow();
            return exitCode;
        }

        // One message per pass; frames are made only when the queue is empty.
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                done = true;
                exitCode = (int)msg.wParam;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }

        if (isActive && !RenderFrame()) {
            done = true;
            continue;
        }
        // Esc: the frame just drawn is never presented.
        if (keyDown[VK_ESCAPE]) {
            done = true;
            continue;
        }
        // Presented, and the rhythm advanced, also while minimised.
        SwapBuffers(windowDC);
        if (keyDown[VK_PRIOR]) viewDepth -= kDepthStep;
        if (keyDown[VK_NEXT]) viewDepth += kDepthStep;
        AdvanceSpinRhythm();

        if (keyDown[VK_F1]) {
            // Cleared first, so the new window does not see F1 still held.
            keyDown[VK_F1] = false;
            CloseDemoWindow();
            isFullscreen = !isFullscreen;
            if (!OpenDemoWindow(kTitle, kWidth, kHeight, kBits, isFullscreen))
                return kExitOpenFailed;
        }
    }
}
