// The capture grid: frames at demo times k / fps from 0, and the earlier grid
// frames that the picture at a given time depends on.
#pragma once

#include <cstdint>
#include <vector>

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

// The grid frames to draw, in order, before drawing a frame at time t so that
// the OpenGL state and the buffer contents are those a live run on the grid
// leaves: the last frame before every scene and element window that opens
// before t, then the frame just before t. Scenes leave state to the next
// frame only through what their last frame set, so these frames suffice.
std::vector<int64_t> framesBefore(float t, int fps);
