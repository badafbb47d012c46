// When frames get paced: only while the swaps are seen not to wait, judged
// from the swaps' own times against displays simulated here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/frame_pacer.h"

// A display whose swaps wait for the next refresh boundary but in the free
// stretch [freeFrom, freeTo) of seconds, where they return 0.3 ms after the
// call; after the stretch its boundaries are `phase` seconds later than before.
struct Display {
    double period = 1.0 / 60.0, freeFrom = 1e9, freeTo = 1e9, phase = 0.0;
};

struct Frame {
    double drawn, call, returned;
    bool pacing; // after this frame's swap
};

// A loop of `seconds` whose frames take `cost(i)` seconds to draw (light: 2 ms).
static double light(int i) {
    return 0.002 + (i % 3) * 1e-4;
}
static std::vector<Frame> run(FramePacer pacer, const Display& display, double seconds,
                              double (*cost)(int) = light) {
    std::vector<Frame> frames;
    double t = 0.0;
    for (int i = 0; t < seconds; i++) {
        const double drawn = t + cost(i);
        const double call = std::max(drawn, swapDue(pacer, drawn));
        double returned = call + 0.0003;
        const double phase = call >= display.freeTo ? display.phase : 0.0;
        if (call < display.freeFrom || call >= display.freeTo)
            returned = phase + (std::floor((call - phase) / display.period) + 1) * display.period;
        noteSwap(pacer, {call, returned});
        frames.push_back({drawn, call, returned, pacer.pacing});
        t = returned;
    }
    return frames;
}

static double rate(const std::vector<Frame>& frames, double from, double to) {
    return std::count_if(frames.begin(), frames.end(),
                         [&](const Frame& f) { return f.returned >= from && f.returned < to; }) /
           (to - from);
}

TEST(FramePacer, PacesWhereSwapsDoNotWaitWhateverTheFramesCost) {
    const Display software{1.0 / 60.0, 0.0, 1e9};
    // Unreported rate, frames of 3 ms and of 11 to 15 ms: paced to 60 Hz
    // within a second (the four probes a second each go out half a period
    // early, and the frames after them are due from them: two frames more),
    // and the probes never end it nor hold a frame on the screen for more
    // than a period.
    for (auto cost : {+[](int) { return 0.003; }, +[](int i) { return 0.011 + (i % 5) * 0.001; }}) {
        const auto frames = run(makeFramePacer(0, true), software, 4.0, cost);
        EXPECT_NEAR(rate(frames, 1.0, 4.0), 62.0, 1.0);
        for (size_t i = 1; i < frames.size(); i++) {
            EXPECT_TRUE(frames[i].pacing || frames[i].returned < 0.3);
            if (frames[i].returned > 1.0)
                EXPECT_LT(frames[i].returned - frames[i - 1].returned, 1.1 / 60.0) << i;
        }
    }
    // The window moved to a 50 Hz screen; --no-vsync never waits.
    FramePacer moved = makeFramePacer(60, true);
    followRefreshRate(moved, 50);
    EXPECT_NEAR(rate(run(moved, software, 3.0), 1, 3), 52.0, 1.0);
    EXPECT_GT(rate(run(makeFramePacer(60, false), software, 3.0), 1, 3), 300.0);
}

TEST(FramePacer, NeverWaitsBeforeSwapsThatWaitAndStopsWhenTheyWaitAgain) {
    // 60 Hz reported; 144 Hz unreported, learned from the swaps. Frames of
    // 2 ms; a second of swaps that do not wait from 2 s, with the boundaries
    // after it at any phase.
    for (double period : {1.0 / 60.0, 1.0 / 144.0}) {
        for (double phase = 0.0; phase < period; phase += period / 16.0) {
            const FramePacer pacer = makeFramePacer(period > 0.01 ? 60 : 0, true);
            const auto frames = run(pacer, {period, 2.0, 3.0, phase}, 5.0);
            // A second after the free stretch ends at the latest, no frame
            // waits before its swap: every refresh shows a new frame.
            for (const Frame& frame : frames) {
                if (frame.drawn >= 2.0 && frame.drawn < 4.0) continue;
                EXPECT_EQ(frame.call, frame.drawn) << frame.drawn;
                EXPECT_FALSE(frame.pacing) << frame.drawn;
            }
            EXPECT_NEAR(rate(frames, 4.0, 5.0), 1.0 / period, 1.0);
            // In the free stretch the frames are paced to the display's rate.
            EXPECT_NEAR(rate(frames, 2.5, 3.0), 1.0 / period, 4.0);
        }
    }
    // Frames of 9 ms on a 144 Hz screen go out every second refresh, unpaced.
    const auto slow = run(makeFramePacer(0, true), {1.0 / 144.0}, 3.0, [](int) { return 0.009; });
    EXPECT_NEAR(rate(slow, 1.0, 3.0), 72.0, 1.0);
    for (const Frame& frame : slow)
        EXPECT_FALSE(frame.pacing);
}
