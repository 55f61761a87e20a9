// Presenting the demo's frames at the display's pace.
//
// Everything in the demo moves once per frame, so its speed is the frame
// rate. A GPU driver's vsync makes that the display's refresh rate; where
// the swap does not wait (Mesa's software renderers, Xvfb, a driver with
// vsync off) each frame waits here for its time on the steady clock, and is
// presented then. KV17_PACE=off presents every frame at once, as fast as
// they come; KV17_PACE=N at N frames per second whatever the display does.
#include "frame_pacing.h"
#include "sdl_internal.h"
#include "seam_internal.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

using kv17::platform::PaceRequest;

struct PacingState {
    bool requestRead = false;
    PaceRequest request;
    kv17::platform::FramePacer pacer;
} pacing;

// Read when first needed; a value that is not understood is said once.
const PaceRequest& Request() {
    if (pacing.requestRead) return pacing.request;
    pacing.requestRead = true;
    if (!kv17::seam::PaceFrames()) {
        pacing.request.mode = PaceRequest::Mode::Off;
        return pacing.request;
    }
    const char* value = getenv("KV17_PACE");
    pacing.request = kv17::platform::ParsePaceRequest(value);
    if (!pacing.request.understood)
        fprintf(stderr,
                "%s: KV17_PACE=\"%s\" is neither \"off\" nor a rate from 1 to 1000 frames per "
                "second; pacing at the display's refresh rate\n",
                program_invocation_short_name, value);
    return pacing.request;
}

// Of the display the window is on; 0 when it reports none.
double RefreshRate(SDL_Window* window) {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

}  // namespace

namespace kv17::platform {

void AskForSwapInterval() {
    FramePacer& pacer = pacing.pacer;
    switch (Request().mode) {
    case PaceRequest::Mode::Off:
        return;  // the driver's own default, as without pacing
    case PaceRequest::Mode::DisplayRate:
        pacer.swapCanWait = SDL_GL_SetSwapInterval(1) == 0;
        break;
    case PaceRequest::Mode::FixedRate:
        // The rate asked for, not the display's: the pacer alone decides.
        SDL_GL_SetSwapInterval(0);
        pacer.swapCanWait = false;
        break;
    }
    // Whether this context's swaps wait is seen anew.
    pacer.swapWaits = false;
    pacer.quickFrames = 0;
}

void SwapPaced(SDL_Window* window) {
    const PaceRequest& request = Request();
    if (request.mode == PaceRequest::Mode::Off) {
        SDL_GL_SwapWindow(window);
        return;
    }
    // The frame drawn before it waits: software renderers draw inside the
    // swap, which would then look as if it waited for the display.
    if (SDL_GL_GetCurrentWindow() == window) glFinish();
    FramePacer& pacer = pacing.pacer;
    const bool fixed = request.mode == PaceRequest::Mode::FixedRate;
    pacer.interval = FrameInterval(fixed ? request.framesPerSecond : RefreshRate(window));
    SleepUntil(PresentTime(pacer, PaceClock::now()));
    const PaceClock::time_point start = PaceClock::now();
    SDL_GL_SwapWindow(window);
    NoteSwap(pacer, start, PaceClock::now());
}

}  // namespace kv17::platform
