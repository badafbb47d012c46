// Frames on the display's refresh, end to end. Under Xvfb the swap never
// waits for a vertical blank, so the demo paces its own frames: about 60 a
// second, the CPU asleep in between; with --no-vsync it draws as fast as the
// swap returns. The benchmarks' swap probe, preloaded into the demo, notes
// each swap's time and the process's CPU time (all threads) at it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "demo_process.h"

struct Swap {
    double wall, cpu; // seconds
};

struct DemoRun {
    int exitCode = -1;
    std::vector<Swap> swaps;
};

// The demo from `from` seconds with the extra arguments, played for `seconds`
// after its window appears and then interrupted, or with seconds 0 to the
// end of its timeline.
static DemoRun playFrom(const std::string& from, const std::vector<std::string>& arguments,
                        double seconds) {
    DemoRun run;
    VirtualDisplay display;
    if (!startVirtualDisplay(display, 640, 480)) return run;
    const std::string log = "/tmp/quarnel-pacing-" + std::to_string(getpid()) + "-" + from + "-" +
                            std::to_string(arguments.size());
    std::vector<std::string> all = {"--from", from};
    all.insert(all.end(), arguments.begin(), arguments.end());
    DemoProcess demo;
    if (!startProcess(demo, QUARNEL_BINARY_DIR "/quarnel", QUARNEL_BINARY_DIR,
                      {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy",
                       "LD_PRELOAD=" QUARNEL_BINARY_DIR "/bench/libswap_probe.so",
                       "QUARNEL_SWAP_LOG=" + log},
                      all))
        return run;
    if (seconds > 0 && waitForWindow(display, "Vormak - Quarnel", 30)) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        kill(demo.pid, SIGINT);
    }
    run.exitCode = waitForExit(demo, 60);
    std::ifstream file(log);
    double wall = 0, cpu = 0, thread = 0;
    while (file >> wall >> cpu >> thread)
        run.swaps.push_back({wall, cpu});
    for (const char* suffix : {"", ".steps", ".compiles", ".threads"})
        std::remove((log + suffix).c_str());
    return run;
}

struct Pace {
    double seconds = 0;      // from the first swap to the last
    double perSecond = 0;    // swaps a second, and CPU seconds a second, from a
    double cpuPerSecond = 0; // second after the first swap (the pacing has begun) to the last
    double medianGap = 0;    // seconds from swap to swap over the same stretch
};

static Pace paceOf(const DemoRun& run) {
    Pace pace;
    if (run.swaps.size() < 2) return pace;
    pace.seconds = run.swaps.back().wall - run.swaps.front().wall;
    std::vector<Swap> late;
    for (const Swap& s : run.swaps)
        if (s.wall > run.swaps.front().wall + 1.0) late.push_back(s);
    if (late.size() < 2) return pace;
    const double span = late.back().wall - late.front().wall;
    pace.perSecond = double(late.size() - 1) / span;
    pace.cpuPerSecond = (late.back().cpu - late.front().cpu) / span;
    std::vector<double> gaps;
    for (size_t i = 1; i < late.size(); i++)
        gaps.push_back(late[i].wall - late[i - 1].wall);
    std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
    pace.medianGap = gaps[gaps.size() / 2];
    return pace;
}

// Four seconds of the intro's slides, paced and not, in a small window: its
// frames cost little to draw, so that a busy machine still leaves the
// unpaced run the time to show its speed. The machine may be busy with other
// work: the two runs are compared in generous ratios.
TEST(FramePacing, PacedFramesComeOnTheRefreshAndLeaveTheCpuIdle) {
    ASSERT_EQ(access(QUARNEL_BINARY_DIR "/bench/libswap_probe.so", R_OK), 0)
        << "the swap probe is built with the benchmarks (QUARNEL_BENCH)";
    const DemoRun pacedRun = playFrom("8", {"--size", "160x120"}, 4.0);
    const DemoRun freeRun = playFrom("8", {"--size", "160x120", "--no-vsync"}, 4.0);
    ASSERT_EQ(pacedRun.exitCode, 0);
    ASSERT_EQ(freeRun.exitCode, 0);
    const Pace paced = paceOf(pacedRun), unpaced = paceOf(freeRun);
    std::printf("paced: %.1f swaps/s, %.3f CPU s/s; --no-vsync: %.1f swaps/s, %.3f CPU s/s\n",
                paced.perSecond, paced.cpuPerSecond, unpaced.perSecond, unpaced.cpuPerSecond);
    // A refresh apart, never faster; a busy machine wakes the demo late now
    // and then, and each frame that comes over a refresh late costs one.
    EXPECT_NEAR(paced.medianGap, 1.0 / 60.0, 0.0015);
    EXPECT_LT(paced.perSecond, 65.0);
    EXPECT_GT(paced.perSecond, 45.0);
    EXPECT_GT(unpaced.perSecond, 3.0 * paced.perSecond);
    EXPECT_LT(paced.cpuPerSecond, 0.5 * unpaced.cpuPerSecond);
}

// Paced frames still show the moments the clock gives: started 2 s before
// the end, the run draws its last frame 2 s after its first, however many
// frames it drew, and ends by itself.
TEST(FramePacing, TheTimelineKeepsTheClock) {
    const DemoRun run = playFrom("88", {}, 0);
    ASSERT_EQ(run.exitCode, 0);
    const Pace pace = paceOf(run);
    EXPECT_GT(pace.seconds, 1.7);
    EXPECT_LT(pace.seconds, 2.1);
}
