#include "platform/frame_timer.h"

#include <chrono>
#include <cmath>

using Clock = std::chrono::steady_clock;

FrameTimer::FrameTimer()
    : startCount(Clock::now().time_since_epoch().count()),
      secondsPerCount(double(Clock::period::num) / double(Clock::period::den)) {}

float FrameTimer::elapsedSeconds() const {
    int64_t counts = int64_t(Clock::now().time_since_epoch().count()) - startCount;
    return float(double(counts) * secondsPerCount);
}

void FrameTimer::restartAt(double seconds) {
    const int64_t now = int64_t(Clock::now().time_since_epoch().count());
    startCount = now - int64_t(std::llround(seconds / secondsPerCount));
}
