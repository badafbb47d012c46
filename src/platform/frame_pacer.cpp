#include "platform/frame_pacer.h"

#include <algorithm>
#include <chrono>
#include <thread>

// How many of the latest swap gaps must be short before pacing begins:
// enough that the few a driver's queue lets through after a stall are not.
constexpr size_t shortGapsToPace = 8;
// The final wait follows how far sleeps overshoot, within these bounds: on
// a busy machine sleeps overshoot by milliseconds, and a final wait that long
// would cost more CPU than the frame (a millisecond a frame is 6 % of a core).
constexpr double shortestFinalWait = 0.0002;
constexpr double longestFinalWait = 0.001;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

FramePacer makeFramePacer(int refreshHz, bool allowed) {
    FramePacer pacer;
    pacer.period = 1.0 / (refreshHz > 0 ? refreshHz : 60);
    pacer.allowed = allowed;
    return pacer;
}

void noteSwap(FramePacer& pacer, double now) {
    if (pacer.lastSwap >= 0.0) {
        pacer.shortGaps <<= 1;
        pacer.shortGaps[0] = now - pacer.lastSwap < pacer.period / 2.0;
    }
    pacer.lastSwap = now;
    if (pacer.allowed && pacer.shortGaps.count() >= shortGapsToPace) pacer.pacing = true;
}

void waitForFrame(FramePacer& pacer) {
    if (!pacer.pacing) return;
    double now = steadySeconds();
    if (pacer.nextFrame < 0.0 || now - pacer.nextFrame > pacer.period) pacer.nextFrame = now;
    const double due = pacer.nextFrame;
    const double sleepUntil = due - pacer.finalWait;
    if (now < sleepUntil) {
        std::this_thread::sleep_for(std::chrono::duration<double>(sleepUntil - now));
        // The next final wait covers what this sleep overshot, and shrinks
        // slowly again once sleeps are prompt.
        const double overshoot = steadySeconds() - sleepUntil;
        pacer.finalWait = std::clamp(std::max(overshoot * 1.25, pacer.finalWait * 0.95),
                                     shortestFinalWait, longestFinalWait);
    }
    while (steadySeconds() < due)
        std::this_thread::yield();
    pacer.nextFrame = due + pacer.period;
}
