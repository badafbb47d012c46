// When frames get paced, and how far apart the pacer puts them.
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

TEST(FramePacer, FramesComeAPeriodApartAndALateOneRestartsTheSchedule) {
    FramePacer pacer = makeFramePacer(100, true);
    waitForFrame(pacer); // not pacing: no wait
    EXPECT_LT(pacer.nextFrame, 0.0);
    pacer.pacing = true;
    // A sleep only ever overshoots, so a loaded machine cannot make these
    // gaps shorter than asked.
    double start = steadySeconds();
    for (int i = 0; i < 20; i++)
        waitForFrame(pacer);
    EXPECT_GE(steadySeconds() - start, 19 * 0.01);
    // Three periods late: the schedule starts again from that frame, so the
    // next is a whole period on rather than at once.
    while (steadySeconds() < pacer.nextFrame + 0.03) {
    }
    start = steadySeconds();
    waitForFrame(pacer);
    EXPECT_GE(pacer.nextFrame, start + 0.01);
    waitForFrame(pacer);
    EXPECT_GE(steadySeconds() - start, 0.01);
}
