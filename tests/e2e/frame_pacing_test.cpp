// Frames on the display's refresh, end to end. Under Xvfb the swap never
// waits for a vertical blank, so the demo paces its own frames; with
// --no-vsync it draws as fast as the swap returns. The benchmarks' swap
// probe, preloaded into the demo, notes each swap's call, its return and the
// process's CPU time (all threads); asked to, it makes the swaps wait as on
// a 60 or 144 Hz display with vsync.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "demo_process.h"
#include "tree_paths.h"

struct Swap {
    double returned, cpu, call; // seconds from the first swap's return
};
struct DemoRun {
    int exitCode = -1;
    std::vector<Swap> swaps;
};

// The demo in a 640 x 480 Xvfb screen with the probe and extra environment.
static DemoRun play(const std::vector<std::string>& arguments, std::vector<std::string> env) {
    DemoRun run;
    VirtualDisplay display;
    if (!startVirtualDisplay(display, 640, 480)) return run;
    static int runs = 0;
    const std::string log = "/tmp/quarnel-pacing-" + std::to_string(getpid() * 100 + runs++);
    env.insert(env.end(), {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy",
                           "LD_PRELOAD=" + binaryDir() + "/bench/libswap_probe.so",
                           "QUARNEL_SWAP_LOG=" + log});
    DemoProcess demo;
    if (!startProcess(demo, binaryDir() + "/quarnel", binaryDir(), env, arguments)) return run;
    run.exitCode = waitForExit(demo, 60);
    std::ifstream file(log);
    for (double returned, cpu, thread, call; file >> returned >> cpu >> thread >> call;)
        run.swaps.push_back({returned, cpu, call});
    for (size_t i = run.swaps.size(); i-- > 0;)
        run.swaps[i].call -= run.swaps[0].returned, run.swaps[i].returned -= run.swaps[0].returned;
    for (const char* suffix : {"", ".steps", ".compiles", ".threads"})
        std::remove((log + suffix).c_str());
    return run;
}

// The swaps returned from `from` seconds after the first to `to`: how many
// a second, the median gap, the median time from the swap before's return
// to the call (drawing the frame, and any wait of the demo's own), and the
// CPU seconds a second.
struct Span {
    double perSecond = 0, medianGap = 0, medianToCall = 0, cpuPerSecond = 0;
};

static Span span(const DemoRun& run, double from, double to) {
    std::vector<double> gaps, toCall;
    std::vector<const Swap*> inside;
    for (size_t i = 1; i < run.swaps.size(); i++) {
        if (run.swaps[i].returned < from || run.swaps[i].returned >= to) continue;
        gaps.push_back(run.swaps[i].returned - run.swaps[i - 1].returned);
        toCall.push_back(run.swaps[i].call - run.swaps[i - 1].returned);
        inside.push_back(&run.swaps[i]);
    }
    if (inside.size() < 2) return {};
    std::sort(gaps.begin(), gaps.end());
    std::sort(toCall.begin(), toCall.end());
    const double wall = inside.back()->returned - inside.front()->returned;
    return {double(inside.size() - 1) / wall, gaps[gaps.size() / 2], toCall[toCall.size() / 2],
            (inside.back()->cpu - inside.front()->cpu) / wall};
}

// The timeline's last four seconds in a small window, whose frames cost
// little, so that a busy machine still lets an unpaced run show its speed.
TEST(FramePacing, PacedFramesComeOnTheRefreshLeaveTheCpuIdleAndKeepTheClock) {
    const DemoRun paced = play({"--size", "160x120", "--from", "86"}, {});
    const DemoRun unpaced = play({"--size", "160x120", "--from", "86", "--no-vsync"}, {});
    // Both end by themselves when the clock reaches 90 s, four seconds after
    // their first frame, however many frames they drew.
    for (const DemoRun* run : {&paced, &unpaced}) {
        EXPECT_EQ(run->exitCode, 0);
        ASSERT_GT(run->swaps.size(), 2u);
        EXPECT_GT(run->swaps.back().returned, 3.6);
        EXPECT_LT(run->swaps.back().returned, 4.1);
    }
    // From a second in, a refresh apart and never faster; a busy machine
    // wakes the demo late now and then, and a frame that comes a refresh late costs one.
    const Span pacedSpan = span(paced, 1.0, 9.0), unpacedSpan = span(unpaced, 1.0, 9.0);
    EXPECT_NEAR(pacedSpan.medianGap, 1.0 / 60.0, 0.0015);
    EXPECT_LT(pacedSpan.perSecond, 65.0);
    EXPECT_GT(pacedSpan.perSecond, 45.0);
    // The machine may be busy with other work: generous ratios.
    EXPECT_GT(unpacedSpan.perSecond, 3.0 * pacedSpan.perSecond);
    EXPECT_LT(pacedSpan.cpuPerSecond, 0.5 * unpacedSpan.cpuPerSecond);
}

// The wobbling ball draws slower than half a refresh (about 10 ms on an idle
// machine): a run started there paces from its first second all the same,
// never faster than the refresh. A busy machine may draw it slower still.
TEST(FramePacing, AHeavySceneIsPacedWhereTheSwapsDoNotWait) {
    const DemoRun run = play({"--window", "--from", "66"}, {"QUARNEL_SWAP_QUIT_AFTER=270"});
    EXPECT_EQ(run.exitCode, 0);
    const Span paced = span(run, 1.0, 9.0);
    EXPECT_GT(paced.medianGap, 1.0 / 60.0 - 0.0015);
    EXPECT_LT(paced.perSecond, 63.0);
}

// Swaps that wait as on vsync hardware, at 60 Hz as the mode reports and at
// 144 Hz where it reports no rate: the demo calls each as soon as its frame
// is drawn, as it does before the second of swaps that do not wait from
// 1.5 s (paced to 60 Hz); after it, the swaps' boundaries fall a quarter
// period after the demo's paced calls came, and it stops waiting of its own
// within a second.
TEST(FramePacing, SwapsThatWaitForTheRefreshAreNeverWaitedForTwice) {
    const std::vector<std::string> small = {"--size", "160x120", "--from", "84"};
    const DemoRun at60 = play(small, {"QUARNEL_VSYNC_HZ=60", "QUARNEL_VSYNC_REPORTS_RATE=1",
                                      "QUARNEL_VSYNC_FREE=1.5 2.5", "QUARNEL_SWAP_QUIT_AFTER=330"});
    const DemoRun at144 = play(small, {"QUARNEL_VSYNC_HZ=144", "QUARNEL_SWAP_QUIT_AFTER=500"});
    EXPECT_EQ(at60.exitCode, 0);
    EXPECT_EQ(at144.exitCode, 0);
    const Span before = span(at60, 0.5, 1.5), notWaiting = span(at60, 2.0, 2.5),
               after = span(at60, 3.5, 9.0), fast = span(at144, 0.5, 9.0);
    EXPECT_LT(after.medianToCall, before.medianToCall + 0.003);
    EXPECT_NEAR(notWaiting.medianGap, 1.0 / 60.0, 0.0015);
    // A rate guessed for the 144 Hz display would give 60 a second.
    EXPECT_GT(fast.perSecond, 90.0);
}
