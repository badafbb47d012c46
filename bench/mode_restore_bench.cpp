// How long the desktop waits for its mode after a full-screen run ends, on
// Xorg with the dummy driver (a fresh server per run): from Escape, which
// SDL's own exit path answers, and from kill -9, which only the guard can.
// Prints the median and every run in milliseconds. Run from the build folder:
//   bench/bench_mode_restore_bench [RUNS]   (default 5)
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "demo_process.h"
#include "xorg_display.h"
#include "tree_paths.h"

using Clock = std::chrono::steady_clock;

// Polls the mode every millisecond or so (each look is a new connection).
static bool waitForMode(const VirtualDisplay& display, const std::string& mode, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (displayMode(display) != mode)
        if (Clock::now() > end)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

// Milliseconds from the end of the run to the desktop's mode; -1 on a failure.
static double restoreTime(bool kill9) {
    VirtualDisplay display;
    if (!startModeSwitchingDisplay(display)) return -1;
    DemoProcess demo;
    if (!startProcess(demo, binaryDir() + "/quarnel", binaryDir(),
                      {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}))
        return -1;
    if (!waitForDisplayMode(display, "640x480", 30)) return -1;
    std::this_thread::sleep_for(std::chrono::seconds(1)); // into the run's first frames
    Clock::time_point ended;
    if (kill9) {
        ended = Clock::now();
        kill(demo.pid, SIGKILL);
    } else {
        ended = Clock::now(); // xdotool's own start is counted in
        runWithDisplay(display, "xdotool key Escape");
    }
    if (!waitForMode(display, "1920x1080", 10)) return -1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - ended).count();
    waitForExit(demo, 10);
    return ms;
}

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (const bool kill9 : {false, true}) {
        std::vector<double> times;
        for (int i = 0; i < runs; i++)
            times.push_back(restoreTime(kill9));
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        std::printf("%-34s median %6.0f ms   runs:",
                    kill9 ? "kill -9 -> desktop mode back" : "Escape -> desktop mode back",
                    sorted[sorted.size() / 2]);
        for (double t : times)
            std::printf(" %.0f", t);
        std::printf(sorted[0] < 0 ? "   (-1: that run failed)\n" : "\n");
    }
}
