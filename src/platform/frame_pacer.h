// Frames one display refresh apart where the buffer swap does not wait for
// the vertical blank (a software renderer, a virtual display, a minimised
// window, a driver that ignores the request), so the CPU sleeps instead of
// drawing frames nobody sees; and no waiting of our own where the swap does
// wait, so no frame waits twice. Which of the two holds is decided from how
// the swaps behave, all the run long: a swap that waits returns on a refresh,
// a whole number of periods after the one before, and its call lasts until
// then; one that does not returns as soon as the frame is out.
#pragma once

#include <array>

// One swap: when the call was made (the frame drawn and finished, any wait
// of ours over) and when it returned, in steady-clock seconds.
struct SwapTimes {
    double call = 0.0, returned = 0.0;
};

constexpr int swapsJudged = 10;  // the latest unpaced swaps a decision looks at
constexpr int swapsToDecide = 7; // how many of them must agree

struct FramePacer {
    bool allowed = true;       // false: never waits, frames go as fast as the swap returns
    double reportedPeriod = 0; // seconds, from the display's mode; 0 when it reports none
    double learnedPeriod = 0;  // seconds, from swaps seen waiting; 0 until then
    bool pacing = false;       // true while the swaps do not wait and the loop paces itself
    double lastReturn = -1.0;  // when the latest swap returned; < 0 before the first
    // The latest swaps since pacing last began or ended, as how long each call
    // lasted and how long after the swap before it it returned (seconds);
    // the newest at recent[(recentCount - 1) % swapsJudged].
    struct Judged {
        double lasted = 0.0, gap = 0.0;
    };
    std::array<Judged, swapsJudged> recent{};
    int recentCount = 0;
    // While pacing:
    double nextFrame = -1.0;  // when the next frame is due
    int framesToProbe = 0;    // paced frames left before the next probe
    double probeLead = 0.0;   // how far before its due this frame's swap is called; 0: no probe
    int waitingProbes = 0;    // consecutive probes that waited for a refresh
    int longCalls = 0;        // consecutive paced swaps whose call lasted a quarter period
    double finalWait = 0.001; // seconds before the due time at which sleeping gives way to yielding
};

// A pacer for a display refreshing refreshHz times a second (0 or less: the
// display reports no rate); never waits unless allowed.
FramePacer makeFramePacer(int refreshHz, bool allowed);
// The window's display now reports refreshHz (it moved to another screen, or
// the mode changed): from a new rate the pacer starts judging afresh.
void followRefreshRate(FramePacer& pacer, int refreshHz);
// The period paced to: the display's reported one, else the one learned from
// swaps that waited, else a 60 Hz display's (a virtual display's, whose
// swaps never wait). A faster display whose swaps wait teaches its period
// from the first ten swaps, before any pacing to the guess could begin.
double pacingPeriod(const FramePacer& pacer);
// With the frame drawn and finished at `drawn`: when its swap should be
// called (no later than `drawn` means at once). While pacing, the frames are
// due a period apart, a frame more than a period late starting the schedule
// afresh rather than bunching the frames after it; four times a second one
// frame is a probe, called up to half a period early: a swap that does not
// wait returns that much sooner (and the frames after it are due from it), one
// that waits still returns on its refresh.
double swapDue(FramePacer& pacer, double drawn);
// Notes a swap and decides from the latest ones whether the loop paces.
// Unpaced, 7 of the latest 10 swaps must have returned at once and off the
// refresh grid for pacing to begin; where the display reports no rate, 7
// that waited and returned a steady period apart (or whole multiples of it)
// teach it. Pacing, two probes in a row that waited, or 7 paced swaps in a
// row whose calls lasted a quarter period, end it.
void noteSwap(FramePacer& pacer, SwapTimes swap);

// Before a frame's swap, with the frame finished: waits until swapDue says
// (a sleep for most of the time, then yielding for the last moment, which a
// sleep would overshoot).
void waitForFrame(FramePacer& pacer);
// The steady clock in seconds.
double steadySeconds();
