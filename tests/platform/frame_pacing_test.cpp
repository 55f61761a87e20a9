// Frame pacing on given times (10 ms frames), KV17_PACE, the cut-short sleep.
#include "frame_pacing.h"
#include "sdl_internal.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using kv17::platform::FramePacer;
using kv17::platform::PaceClock;
using kv17::platform::PaceRequest;
using Mode = PaceRequest::Mode;

PaceClock::time_point At(PaceClock::duration since) { return PaceClock::time_point(since); }

TEST(FramePacingTest, FramesArePresentedAtTheirDeadlineOrAtOnceWhenLate) {
    struct Row {
        const char* name;
        bool swapWaits;
        std::vector<PaceClock::duration> ready, presented;
    };
    const Row rows[] = {
        {"the first frame goes at once", false, {5ms}, {5ms}},
        {"early frames wait for their deadline", false, {0ms, 3ms, 12ms}, {0ms, 10ms, 20ms}},
        {"a frame ready on its deadline goes then", false, {0ms, 10ms}, {0ms, 10ms}},
        {"a late frame moves the next deadline on", false, {0ms, 25ms, 26ms}, {0ms, 25ms, 35ms}},
        {"a swap that waits itself is not waited for", true, {0ms, 3ms}, {0ms, 3ms}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramePacer pacer;
        pacer.interval = 10ms;
        pacer.swapWaits = row.swapWaits;
        std::vector<PaceClock::duration> presented;
        for (auto ready : row.ready)
            presented.push_back(PresentTime(pacer, At(ready)).time_since_epoch());
        EXPECT_EQ(presented, row.presented);
    }
}

TEST(FramePacingTest, ASwapOfHalfAnIntervalWaitedUntilFramesComeQuickerThanThat) {
    struct Row {
        const char* name;
        bool swapCanWait;
        std::vector<std::pair<PaceClock::duration, PaceClock::duration>> swaps;  // start, end
        bool waits;
    };
    const Row rows[] = {
        {"half an interval", true, {{0ms, 5ms}}, true},
        {"less than half", true, {{0ms, 4ms}}, false},
        {"without swap interval 1, never", false, {{0ms, 9ms}}, false},
        {"until three quick frames",
         true,
         {{0ms, 8ms}, {8ms, 9ms}, {9ms, 10ms}, {10ms, 11ms}},
         false},
        {"two are not enough", true, {{0ms, 8ms}, {8ms, 9ms}, {9ms, 10ms}}, true},
        {"a frame at the display's pace counts anew",
         true,
         {{0ms, 8ms}, {8ms, 9ms}, {9ms, 10ms}, {17ms, 18ms}, {18ms, 19ms}, {19ms, 20ms}},
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramePacer pacer;
        pacer.interval = 10ms;
        pacer.swapCanWait = row.swapCanWait;
        for (auto [start, end] : row.swaps) NoteSwap(pacer, At(start), At(end));
        EXPECT_EQ(pacer.swapWaits, row.waits);
    }
}

TEST(FramePacingTest, Kv17PaceIsOffOrARateFrom1To1000) {
    struct Row {
        const char* value;
        Mode mode;
        double framesPerSecond;
        bool understood;
    };
    const Row rows[] = {
        {nullptr, Mode::DisplayRate, 0, true}, {"", Mode::DisplayRate, 0, true},
        {"off", Mode::Off, 0, true},           {"OFF", Mode::Off, 0, true},
        {"30", Mode::FixedRate, 30, true},     {"59.94", Mode::FixedRate, 59.94, true},
        {"1", Mode::FixedRate, 1, true},       {"1000", Mode::FixedRate, 1000, true},
        {"0", Mode::DisplayRate, 0, false},    {"1001", Mode::DisplayRate, 0, false},
        {"-60", Mode::DisplayRate, 0, false},  {"60fps", Mode::DisplayRate, 0, false},
        {"nan", Mode::DisplayRate, 0, false},  {"of", Mode::DisplayRate, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value ? row.value : "unset");
        const PaceRequest request = kv17::platform::ParsePaceRequest(row.value);
        EXPECT_EQ(request.mode, row.mode);
        EXPECT_EQ(request.framesPerSecond, row.framesPerSecond);
        EXPECT_EQ(request.understood, row.understood);
    }
}

TEST(FramePacingTest, FrameIntervalIsOneOverTheRateAndSixtyHertzWhenNoneIsReported) {
    EXPECT_EQ(kv17::platform::FrameInterval(60), 16666667ns);
    EXPECT_EQ(kv17::platform::FrameInterval(0), 16666667ns);
    EXPECT_EQ(kv17::platform::FrameInterval(1), 1s);
}

// Sent from another thread as this one goes to sleep: whether it comes
// before the sleep or during it, and whichever thread handles it, the sleep
// ends (an hour's sleep that did not would time the test out).
TEST(FramePacingTest, ATerminationSignalEndsTheWaitForTheNextFrame) {
    kv17::platform::CatchTerminationSignals();
    std::thread sender([] { kill(getpid(), SIGTERM); });
    kv17::platform::SleepUntil(PaceClock::now() + 1h);
    sender.join();
    EXPECT_EQ(kv17::platform::TakeTerminationSignal(), SIGTERM);
}

}  // namespace
