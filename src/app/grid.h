// The capture grid: frames at demo times k / fps from 0.
#pragma once

#include <cstdint>

// The grid of the stills (the capture tool's and the web page's test hook),
// and of the capture tool's frames and videos unless --fps says otherwise:
// the rate the live demo is paced to.
constexpr int captureGridFps = 60;

// Demo time of grid frame k: k / fps, rounded once to a float like the clock.
float gridTime(int64_t k, int fps);
// The first grid frame at or after t, and the last at or before t.
int64_t firstGridFrameFrom(double t, int fps);
int64_t lastGridFrameUpTo(double t, int fps);
// The last grid frame whose time is strictly before t (-1 when none).
int64_t lastGridFrameBefore(float t, int fps);

// Demo time of the first grid frame after the music's start, where it starts
// as in a live run; negative when no grid frame falls in the window that
// plays it (musicWindow, 14-23 s).
float musicStartTime(int fps);
