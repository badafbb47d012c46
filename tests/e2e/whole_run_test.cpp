// The one whole run in real time: the demo as a viewer starts it, played
// under a virtual X server until the timeline ends it by itself a little
// after 90 seconds. Every other end-to-end test starts late (--from) or
// draws through the capture tool. Needs the generated data set.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "demo_process.h"
#include "tree_paths.h"

TEST(DemoRunWhole, PlaysToTheEndAndExitsZero) {
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess demo;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(startProcess(demo, binaryDir() + "/quarnel", binaryDir(),
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}));
    EXPECT_EQ(waitForExit(demo, 150), 0) << stderrText(demo);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 89.0);
}
