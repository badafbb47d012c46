// When frames get paced: only where the swaps are seen not to wait.
#include <gtest/gtest.h>

#include <vector>

#include "platform/frame_pacer.h"

// Feeds swaps at the given gaps (seconds); the swap after which pacing began
// (1 = the second swap), or 0 when it never did.
static int pacingBeganAfter(FramePacer pacer, const std::vector<double>& gaps) {
    double t = 100.0;
    noteSwap(pacer, t);
    for (size_t i = 0; i < gaps.size(); i++) {
        noteSwap(pacer, t += gaps[i]);
        if (pacer.pacing) return int(i) + 1;
    }
    return 0;
}

TEST(FramePacer, PacesOnlySwapsThatDoNotWait) {
    EXPECT_DOUBLE_EQ(makeFramePacer(0, true).period, 1.0 / 60.0);
    EXPECT_DOUBLE_EQ(makeFramePacer(75, true).period, 1.0 / 75.0);
    const FramePacer at60 = makeFramePacer(60, true);
    // Swaps 2 ms apart: the eighth short gap starts the pacing.
    EXPECT_EQ(pacingBeganAfter(at60, std::vector<double>(20, 0.002)), 8);
    EXPECT_EQ(pacingBeganAfter(makeFramePacer(60, false), std::vector<double>(20, 0.002)), 0);
    // Swaps that wait, with a driver's queue letting three through at once
    // after each stall, and slow frames just over half a period: never.
    std::vector<double> waiting;
    for (int stall = 0; stall < 20; stall++)
        waiting.insert(waiting.end(), {0.1, 0.001, 0.001, 0.001, 1 / 60.0, 1 / 60.0, 0.0084});
    EXPECT_EQ(pacingBeganAfter(at60, waiting), 0);
}
