// Frames one display refresh apart where the buffer swap does not wait for
// the vertical blank (a software renderer, a virtual display, a driver that
// ignores the request), so the CPU sleeps instead of drawing frames nobody sees.
#pragma once

#include <bitset>

struct FramePacer {
    double period = 1.0 / 60.0; // seconds: one refresh of the display
    bool allowed = true;        // false: never waits, frames go as fast as the swap returns
    bool pacing = false;        // true once the swaps were seen not to wait; stays so
    double lastSwap = -1.0;     // steady-clock seconds of the latest swap; < 0 before the first
    // The latest swap-to-swap gaps, bit 0 the newest: set where one was under half a period.
    std::bitset<10> shortGaps;
    double nextFrame = -1.0;  // steady-clock seconds the next frame is due, while pacing
    double finalWait = 0.001; // seconds before nextFrame at which sleeping gives way to yielding
};

// A pacer for a display refreshing refreshHz times a second (60 where that
// is 0 or less, as for a display that reports no rate); never waits unless
// allowed.
FramePacer makeFramePacer(int refreshHz, bool allowed);
// Notes that a swap returned at `now` (steady-clock seconds). A swap that
// waits for the vertical blank cannot come sooner than a period after the
// one before, bar the two or three a driver queues after a stall; once 8 of
// the latest 10 gaps are under half a period the swaps do not wait, and the
// pacer paces from then on.
void noteSwap(FramePacer& pacer, double now);
// Before a frame's swap: while pacing, waits until the frame is due (a sleep for
// most of the time, then yielding for the last moment, which a sleep would
// overshoot) and schedules the next one a period later. A frame already
// more than a period late starts the schedule afresh rather than bunching
// the frames after it.
void waitForFrame(FramePacer& pacer);
// The steady clock in seconds.
double steadySeconds();
