#include "frame_pacing.h"

#include <strings.h>

#include <cstdlib>

namespace kv17::platform {

namespace {

constexpr double kUnreportedRefreshRate = 60;
constexpr double kLowestRate = 1;
constexpr double kHighestRate = 1000;
// Frames in a row that must come well inside an interval before a swap that
// waited is no longer trusted to: few, since each is shown too early.
constexpr int kQuickFramesToResume = 3;

}  // namespace

PaceRequest ParsePaceRequest(const char* value) {
    PaceRequest request;
    if (value == nullptr || *value == '\0') return request;
    if (strcasecmp(value, "off") == 0) {
        request.mode = PaceRequest::Mode::Off;
        return request;
    }
    char* end = nullptr;
    const double rate = std::strtod(value, &end);
    if (end != value && *end == '\0' && rate >= kLowestRate && rate <= kHighestRate) {
        request.mode = PaceRequest::Mode::FixedRate;
        request.framesPerSecond = rate;
        return request;
    }
    request.understood = false;
    return request;
}

PaceClock::duration FrameInterval(double framesPerSecond) {
    if (!(framesPerSecond > 0)) framesPerSecond = kUnreportedRefreshRate;
    return std::chrono::round<PaceClock::duration>(
        std::chrono::duration<double>(1.0 / framesPerSecond));
}

PaceClock::time_point PresentTime(FramePacer& pacer, PaceClock::time_point now) {
    const bool early = !pacer.swapWaits && pacer.deadline && now < *pacer.deadline;
    // The deadline, not the moment the wait for it ends, is what the next
    // one counts from: waking late does not make the pace drift.
    const PaceClock::time_point present = early ? *pacer.deadline : now;
    pacer.deadline = present + pacer.interval;
    return present;
}

void NoteSwap(FramePacer& pacer, PaceClock::time_point start, PaceClock::time_point end) {
    if (pacer.swapCanWait && end - start >= pacer.interval / 2) {
        pacer.swapWaits = true;
        pacer.quickFrames = 0;
    } else if (pacer.swapWaits && pacer.lastSwapEnd) {
        const bool quick = end - *pacer.lastSwapEnd < pacer.interval * 3 / 4;
        pacer.quickFrames = quick ? pacer.quickFrames + 1 : 0;
        if (pacer.quickFrames == kQuickFramesToResume) {
            pacer.swapWaits = false;
            pacer.quickFrames = 0;
        }
    }
    pacer.lastSwapEnd = end;
}

}  // namespace kv17::platform
