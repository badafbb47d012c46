// A progress bar on standard error: frames done, frames per second, time left.
#pragma once

#include <chrono>
#include <cstdint>

struct Progress {
    int64_t total = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastShown;
    bool terminal = false; // redraw in place; otherwise a line now and then
};

void startProgress(Progress& progress, int64_t total);
// Shows the bar after `done` frames, at most a few times a second.
void showProgress(Progress& progress, int64_t done);
// The final line, with the whole run's rate.
void finishProgress(Progress& progress, int64_t done);
