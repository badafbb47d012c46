#include "platform/frame_pacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

// Where no rate is reported and none was learned (a software renderer on a
// virtual display), frames are paced as for the commonest display.
constexpr double unreportedPeriod = 1.0 / 60.0;
// A call this long at least did more than hand the frame over: copying a
// whole frame to a virtual display takes a fraction of it.
constexpr double waitingCall = 0.001;
// Periods a display may have (20 to 500 Hz): a steady rhythm of swaps
// outside them is the frames' own, not a display's.
constexpr double shortestPeriod = 1.0 / 500.0, longestPeriod = 1.0 / 20.0;
// How often, in seconds, a paced frame probes whether the swaps wait again.
constexpr double probeInterval = 0.25;
constexpr int waitingProbesToStop = 2;
constexpr int longCallsToStop = 7;
// The final wait follows how far sleeps overshoot, within these bounds: on
// a busy machine sleeps overshoot by milliseconds, and a final wait that long
// would cost more CPU than the frame (a millisecond a frame is 6 % of a core).
constexpr double shortestFinalWait = 0.0002;
constexpr double longestFinalWait = 0.001;

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

static double periodOf(int refreshHz) {
    return refreshHz > 0 ? 1.0 / refreshHz : 0.0;
}

FramePacer makeFramePacer(int refreshHz, bool allowed) {
    FramePacer pacer;
    pacer.reportedPeriod = periodOf(refreshHz);
    pacer.allowed = allowed;
    return pacer;
}

// Judging starts afresh: the swaps before are of the other way of pacing.
static void setPacing(FramePacer& pacer, bool pacing) {
    pacer.pacing = pacing;
    pacer.recentCount = 0;
    pacer.nextFrame = -1.0;
    pacer.framesToProbe = 0;
    pacer.probeLead = 0.0;
    pacer.waitingProbes = 0;
    pacer.longCalls = 0;
}

void followRefreshRate(FramePacer& pacer, int refreshHz) {
    if (periodOf(refreshHz) == pacer.reportedPeriod) return;
    pacer.reportedPeriod = periodOf(refreshHz);
    pacer.learnedPeriod = 0.0;
    setPacing(pacer, false);
}

double pacingPeriod(const FramePacer& pacer) {
    if (pacer.reportedPeriod > 0.0) return pacer.reportedPeriod;
    return pacer.learnedPeriod > 0.0 ? pacer.learnedPeriod : unreportedPeriod;
}

// How far a swap that waits may return from its refresh: it wakes a little
// late, and the one before may have too.
static double gridTolerance(double period) {
    return std::max(0.0005, period / 8.0);
}

// The number of whole periods in gap when it lies that close to it, else 0.
static int periodsIn(double gap, double period) {
    const double periods = std::round(gap / period);
    return std::abs(gap - periods * period) <= gridTolerance(period) ? int(periods) : 0;
}

// Where swaps waited and returned a steady period apart (or whole multiples
// of it), the display's period: the middle of the shortest three gaps that
// lie close together, averaged over every gap on its grid. 0 when they did not.
static double periodFromWaits(const FramePacer& pacer) {
    std::array<double, swapsJudged> gaps{};
    int count = 0;
    for (const FramePacer::Judged& swap : pacer.recent)
        if (swap.lasted >= waitingCall) gaps[size_t(count++)] = swap.gap;
    if (count < swapsToDecide) return 0.0;
    std::sort(gaps.begin(), gaps.begin() + count);
    for (size_t i = 1; i + 1 < size_t(count); i++) {
        const double period = gaps[i];
        if (period < shortestPeriod || period > longestPeriod) continue;
        if (gaps[i + 1] - gaps[i - 1] > 2.0 * gridTolerance(period)) continue;
        double sum = 0.0;
        int onGrid = 0;
        for (int j = 0; j < count; j++) {
            const int periods = periodsIn(gaps[size_t(j)], period);
            if (periods > 0) sum += gaps[size_t(j)] / periods, onGrid++;
        }
        return onGrid >= swapsToDecide ? sum / onGrid : 0.0;
    }
    return 0.0;
}

// Unpaced: whether the latest swaps show the display's period, and whether
// they returned at once and off its refresh grid, which swaps that wait cannot.
static void judgeUnpaced(FramePacer& pacer) {
    if (pacer.recentCount < swapsJudged) return;
    if (pacer.reportedPeriod <= 0.0) {
        const double learned = periodFromWaits(pacer);
        if (learned > 0.0) pacer.learnedPeriod = learned;
    }
    const double period = pacingPeriod(pacer);
    // A call that returns at once takes a fraction of a millisecond.
    const double quickCall = std::max(waitingCall, period / 4.0);
    int free = 0;
    for (const FramePacer::Judged& swap : pacer.recent)
        if (swap.lasted < quickCall && periodsIn(swap.gap, period) == 0) free++;
    if (free >= swapsToDecide) setPacing(pacer, true);
}

// Paced: a probe called early that still waited for its refresh, or calls
// that wait long for it, show that the swaps wait again. A probe that did not
// wait went out early: the frames after it are due a period after it, not
// half a period more, which would hold it on the screen for one and a half.
static void judgePaced(FramePacer& pacer, SwapTimes swap) {
    const double period = pacingPeriod(pacer);
    const double lasted = swap.returned - swap.call;
    if (pacer.probeLead > 0.0) {
        const bool waited = lasted > pacer.probeLead / 2.0;
        pacer.waitingProbes = waited ? pacer.waitingProbes + 1 : 0;
        if (!waited) pacer.nextFrame = swap.call + period;
        pacer.probeLead = 0.0;
    } else {
        pacer.longCalls = lasted > period / 4.0 ? pacer.longCalls + 1 : 0;
    }
    if (pacer.waitingProbes >= waitingProbesToStop || pacer.longCalls >= longCallsToStop)
        setPacing(pacer, false);
}

void noteSwap(FramePacer& pacer, SwapTimes swap) {
    const double gap = pacer.lastReturn >= 0.0 ? swap.returned - pacer.lastReturn : -1.0;
    pacer.lastReturn = swap.returned;
    if (!pacer.allowed || gap < 0.0) return;
    if (pacer.pacing) return judgePaced(pacer, swap);
    pacer.recent[size_t(pacer.recentCount++ % swapsJudged)] = {swap.returned - swap.call, gap};
    judgeUnpaced(pacer);
}

double swapDue(FramePacer& pacer, double drawn) {
    const double period = pacingPeriod(pacer);
    if (!pacer.pacing) return drawn;
    if (pacer.nextFrame < 0.0 || drawn - pacer.nextFrame > period) pacer.nextFrame = drawn;
    const double due = pacer.nextFrame;
    pacer.nextFrame = due + period;
    pacer.probeLead = 0.0;
    if (pacer.framesToProbe > 0) {
        pacer.framesToProbe--;
        return due;
    }
    // A frame that is ready only just before its due cannot tell the two
    // kinds of swap apart: the next one probes instead.
    if (due - drawn < period / 4.0) return due;
    const double call = std::max(drawn, due - period / 2.0);
    pacer.probeLead = due - call;
    pacer.framesToProbe = int(probeInterval / period);
    return call;
}

void waitForFrame(FramePacer& pacer) {
    double now = steadySeconds();
    const double due = swapDue(pacer, now);
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
}
