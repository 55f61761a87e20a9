// The spin rhythm, run from its start values through several turns.
#include "demo_main.h"
#include "demo_state_reset.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Turn {
    int update;        // 1-based number of the update that turned the direction
    bool toRising;     // the direction it turned to
    float stepBefore;  // the steps as that update found them
};

std::vector<Turn> RunRhythm(int updates) {
    ResetDemoState();
    std::vector<Turn> turns;
    for (int update = 1; update <= updates; ++update) {
        bool wasRising = spinRising;
        float before = spinStepX;
        AdvanceSpinRhythm();
        if (spinRising != wasRising) turns.push_back({update, spinRising, before});
    }
    return turns;
}

TEST(SpinRhythm, TurnsAtTheUpdatesThatSinglePrecisionGives) {
    std::vector<Turn> turns = RunRhythm(840);
    ASSERT_GE(turns.size(), 4u);
    EXPECT_EQ(turns[0].update, 454);
    EXPECT_FALSE(turns[0].toRising);
    EXPECT_FLOAT_EQ(turns[0].stepBefore, 9.069432f);
    EXPECT_EQ(turns[1].update, 484);
    EXPECT_TRUE(turns[1].toRising);
    EXPECT_FLOAT_EQ(turns[1].stepBefore, 0.3844633f);
    EXPECT_EQ(turns[2].update, 801);
    EXPECT_EQ(turns[3].update, 831);
}

TEST(SpinRhythm, FallingStretchesLast30AndRisingOnes317Or318) {
    std::vector<Turn> turns = RunRhythm(20000);
    ASSERT_GT(turns.size(), 40u);
    for (size_t i = 1; i < turns.size(); ++i) {
        int length = turns[i].update - turns[i - 1].update;
        if (turns[i - 1].toRising)
            EXPECT_TRUE(length == 317 || length == 318) << "rising stretch " << i;
        else
            EXPECT_EQ(length, 30) << "falling stretch " << i;
    }
}

TEST(SpinRhythm, StepsStayEqualAndEveryProductIsSinglePrecision) {
    ResetDemoState();
    float expected = 0.1f;
    for (int update = 1; update <= 453; ++update) {
        AdvanceSpinRhythm();
        expected = expected * 1.01f;
        ASSERT_EQ(spinStepX, expected) << update;
        ASSERT_EQ(spinStepY, spinStepX);
    }
}

TEST(SpinRhythm, TheTurnToFallingRequestsOneFlashAndAppliesTheNewFactor) {
    ResetDemoState();
    for (int update = 1; update < 454; ++update) AdvanceSpinRhythm();
    EXPECT_FALSE(flashPending);
    float before = spinStepX;
    AdvanceSpinRhythm();
    EXPECT_TRUE(flashPending);
    EXPECT_EQ(spinStepX, before * 0.9f);
    flashPending = false;
    AdvanceSpinRhythm();
    EXPECT_FALSE(flashPending);
}

TEST(SpinRhythm, FallingThresholdIsTheDouble04) {
    ResetDemoState();
    spinRising = false;
    spinStepX = spinStepY = 0.4f;  // 0.4000000059604645: above the double 0.4
    AdvanceSpinRhythm();
    EXPECT_FALSE(spinRising);
    EXPECT_EQ(spinStepX, 0.4f * 0.9f);
}

TEST(SpinRhythm, BothStepsMustPassAThreshold) {
    ResetDemoState();
    spinStepX = 9.0f;
    spinStepY = 8.9f;
    AdvanceSpinRhythm();
    EXPECT_TRUE(spinRising);
    EXPECT_FALSE(flashPending);

    spinRising = false;
    spinStepX = 0.3f;
    spinStepY = 0.5f;
    AdvanceSpinRhythm();
    EXPECT_FALSE(spinRising);
}

}  // namespace
