// The clock of the timeline: seconds since the timer was made.
#pragma once

#include <cstdint>

struct FrameTimer {
    int64_t startCount = 0;       // steady-clock ticks at demo time 0: construction or restartAt
    double secondsPerCount = 0.0; // length of one tick in seconds

    FrameTimer();
    // From now on the timer reads seconds plus the time since this call.
    void restartAt(double seconds);
    // Seconds since construction, computed in double and rounded once to float.
    float elapsedSeconds() const;
};
