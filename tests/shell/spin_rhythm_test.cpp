// The spin rhythm: its turns from the start values, and its thresholds.
#include "demo_main.h"
#include "demo_state.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TEST(SpinRhythm, TurnsWhereSinglePrecisionPutsThem) {
    ResetDemoState();
    std::vector<int> turns;
    int unequalSteps = 0, flashes = 0;
    for (int update = 1; update <= 20000; ++update) {
        const bool wasRising = spinRising;
        AdvanceSpinRhythm();
        unequalSteps += spinStepY != spinStepX;
        flashes += std::exchange(flashPending, false);
        if (spinRising != wasRising) turns.push_back(update);
    }
    // The steps alike throughout; a flash at each turn to falling, every other turn.
    EXPECT_EQ(std::pair(unequalSteps, flashes), std::pair(0, int(turns.size() + 1) / 2));
    ASSERT_GT(turns.size(), 40u);
    EXPECT_EQ(std::vector<int>(turns.begin(), turns.begin() + 4),
              (std::vector<int>{454, 484, 801, 831}));
    for (size_t i = 1; i < turns.size(); ++i) {  // falling, then rising stretches
        const int length = turns[i] - turns[i - 1];
        EXPECT_TRUE(i % 2 == 1 ? length == 30 : length == 317 || length == 318) << i;
    }
}

TEST(SpinRhythm, BothStepsMustReachInclusiveThresholds) {
    // Rising, the two steps; then rising and the x step after the update.
    const std::tuple<bool, float, float, bool, float> rows[] = {
        {true, 9.0f, 9.0f, false, 9.0f * 0.9f},   // 9.0 itself turns
        {true, 9.0f, 8.9f, true, 9.0f * 1.01f},   // both must
        {false, 0.3f, 0.5f, false, 0.3f * 0.9f},  // both must
        {false, 0.4f, 0.4f, false, 0.4f * 0.9f},  // the float 0.4 is above the double
        {false, 0.39f, 0.39f, true, 0.39f * 1.01f},
    };
    for (const auto& [rising, x, y, risingAfter, xAfter] : rows) {
        ResetDemoState();
        spinRising = rising;
        spinStepX = x;
        spinStepY = y;
        AdvanceSpinRhythm();
        EXPECT_EQ(std::tuple(spinRising, spinStepX, flashPending),
                  std::tuple(risingAfter, xAfter, rising && !risingAfter))
            << x << " " << y;
    }
}

}  // namespace
