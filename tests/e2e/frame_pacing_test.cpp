// Frames on the display's refresh, end to end. Under Xvfb the swap never
// waits for a vertical blank, so the demo paces its own frames; with
// --no-vsync it draws as fast as the swap returns. The benchmarks' swap
// probe, preloaded into the demo, notes each swap's time and the process's
// CPU time (all threads) at it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "demo_process.h"

struct Pace {
    int exitCode = -1;
    double seconds = 0; // from the first swap to the last
    // From a second after the first swap (the pacing has begun) to the last:
    double perSecond = 0, cpuPerSecond = 0, medianGap = 0;
};

// The timeline's last four seconds in a small window, whose frames cost
// little, so that a busy machine still lets an unpaced run show its speed.
static Pace playLastSeconds(const std::string& option) {
    Pace pace;
    VirtualDisplay display;
    if (!startVirtualDisplay(display, 640, 480)) return pace;
    const std::string log = "/tmp/quarnel-pacing-" + std::to_string(getpid()) + option;
    std::vector<std::string> arguments = {"--size", "160x120", "--from", "86"};
    if (!option.empty()) arguments.push_back(option);
    DemoProcess demo;
    if (!startProcess(demo, QUARNEL_BINARY_DIR "/quarnel", QUARNEL_BINARY_DIR,
                      {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy",
                       "LD_PRELOAD=" QUARNEL_BINARY_DIR "/bench/libswap_probe.so",
                       "QUARNEL_SWAP_LOG=" + log},
                      arguments))
        return pace;
    pace.exitCode = waitForExit(demo, 60);
    std::ifstream file(log);
    std::vector<double> wall, cpu, gaps;
    for (double w, c, thread; file >> w >> c >> thread;)
        wall.push_back(w), cpu.push_back(c);
    for (const char* suffix : {"", ".steps", ".compiles", ".threads"})
        std::remove((log + suffix).c_str());
    const size_t from = size_t(
        std::upper_bound(wall.begin(), wall.end(), wall.empty() ? 0 : wall[0] + 1) - wall.begin());
    if (wall.size() < from + 2) return pace;
    pace.seconds = wall.back() - wall.front();
    const double span = wall.back() - wall[from];
    pace.perSecond = double(wall.size() - from - 1) / span;
    pace.cpuPerSecond = (cpu.back() - cpu[from]) / span;
    for (size_t i = from + 1; i < wall.size(); i++)
        gaps.push_back(wall[i] - wall[i - 1]);
    std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
    pace.medianGap = gaps[gaps.size() / 2];
    return pace;
}

TEST(FramePacing, PacedFramesComeOnTheRefreshLeaveTheCpuIdleAndKeepTheClock) {
    const Pace paced = playLastSeconds(""), unpaced = playLastSeconds("--no-vsync");
    // Both end by themselves when the clock reaches 90 s, four seconds after
    // their first frame, however many frames they drew.
    for (const Pace& pace : {paced, unpaced}) {
        EXPECT_EQ(pace.exitCode, 0);
        EXPECT_GT(pace.seconds, 3.6);
        EXPECT_LT(pace.seconds, 4.1);
    }
    // A refresh apart and never faster; a busy machine wakes the demo late
    // now and then, and a frame that comes a refresh late costs one.
    EXPECT_NEAR(paced.medianGap, 1.0 / 60.0, 0.0015);
    EXPECT_LT(paced.perSecond, 65.0);
    EXPECT_GT(paced.perSecond, 45.0);
    // The machine may be busy with other work: generous ratios.
    EXPECT_GT(unpaced.perSecond, 3.0 * paced.perSecond);
    EXPECT_LT(paced.cpuPerSecond, 0.5 * unpaced.cpuPerSecond);
}
