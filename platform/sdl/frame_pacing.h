// Frame pacing: one presented frame per refresh of the display where the
// buffer swap does not wait for it (software renderers, Xvfb, vsync off).
// The rules work on given times, so they can be checked without a clock;
// paced_swap.cpp applies them around the real swap.
#pragma once

#include <chrono>
#include <optional>

namespace kv17::platform {

using PaceClock = std::chrono::steady_clock;

// What KV17_PACE asks for: unset or empty, the display's refresh rate;
// "off", frames as fast as they come; a number from 1 to 1000, that many
// frames per second. Anything else is not understood and means the default.
struct PaceRequest {
    enum class Mode { DisplayRate, FixedRate, Off };
    Mode mode = Mode::DisplayRate;
    double framesPerSecond = 0;  // FixedRate only
    bool understood = true;
};
PaceRequest ParsePaceRequest(const char* value);

// The time from one frame to the next at `framesPerSecond`; a display that
// reports no rate (0) counts as 60 Hz.
PaceClock::duration FrameInterval(double framesPerSecond);

struct FramePacer {
    PaceClock::duration interval{};
    bool swapCanWait = false;                       // the driver took swap interval 1
    bool swapWaits = false;                         // and its swaps have been seen waiting
    int quickFrames = 0;                            // frames in a row well inside an interval
    std::optional<PaceClock::time_point> deadline;  // for the next frame
    std::optional<PaceClock::time_point> lastSwapEnd;
};

// When the frame that is ready at `now` is to be presented: at the
// deadline, or at once when it is late, when it is the first, or when the
// swap waits for the display itself. The next deadline is one interval on
// from that time, so a late frame moves it on instead of making the frames
// after it hurry.
PaceClock::time_point PresentTime(FramePacer& pacer, PaceClock::time_point now);

// The swap ran from `start` to `end`. One that took half an interval or
// more waited for the display, so the pacer stands aside until frames come
// well inside an interval again (a hidden window, vsync switched off).
void NoteSwap(FramePacer& pacer, PaceClock::time_point start, PaceClock::time_point end);

}  // namespace kv17::platform
