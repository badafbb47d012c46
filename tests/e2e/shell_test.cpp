// The real demo under a virtual X server: how a run ends, and what it
// ignores. Needs the generated data set in the build folder.
#include <gtest/gtest.h>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "tree_paths.h"

static const std::string demoBinary = binaryDir() + "/quarnel";
static const char* const title = "Vormak - Quarnel";

static void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

struct RunningDemo {
    VirtualDisplay display;
    DemoProcess demo;
};

static void startDemo(RunningDemo& run, const std::string& folder, int width = 640,
                      int height = 480, const std::string& audioDriver = "dummy",
                      const std::vector<std::string>& arguments = {}) {
    ASSERT_TRUE(startVirtualDisplay(run.display, width, height));
    ASSERT_TRUE(startProcess(run.demo, demoBinary, folder,
                             {"DISPLAY=" + run.display.name, "SDL_AUDIODRIVER=" + audioDriver},
                             arguments));
}

TEST(DemoRun, EscapeEndsTheRunOtherKeysAndClicksDoNot) {
    RunningDemo run;
    startDemo(run, binaryDir());
    ASSERT_NE(waitForWindow(run.display, title, 20), 0u);
    pause(1.0);
    runWithDisplay(run.display, "xdotool mousemove 320 240 key a key space key Return click 1");
    pause(1.5);
    EXPECT_TRUE(isRunning(run.demo));
    runWithDisplay(run.display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(run.demo, 10), 0);
}

TEST(DemoRun, CloseRequestEndsTheRun) {
    RunningDemo run;
    startDemo(run, binaryDir());
    unsigned long window = waitForWindow(run.display, title, 20);
    ASSERT_NE(window, 0u);
    pause(1.0);
    ASSERT_TRUE(sendCloseRequest(run.display, window));
    EXPECT_EQ(waitForExit(run.demo, 10), 0);
}

TEST(DemoRun, InterruptSignalEndsTheRunLikeEscape) {
    RunningDemo run;
    startDemo(run, binaryDir());
    ASSERT_NE(waitForWindow(run.display, title, 20), 0u);
    pause(1.0);
    kill(run.demo.pid, SIGINT);
    EXPECT_EQ(waitForExit(run.demo, 10), 0);
}

// A screen with no 640 x 480 mode: the box comes before the window, one line
// of standard error names the two options that play there, and once the box
// is answered the run ends without playing.
TEST(DemoRun, RefusedDisplayModeShowsItsMessageAndEnds) {
    RunningDemo run;
    startDemo(run, binaryDir(), 800, 600);
    ASSERT_TRUE(waitForStderr(run.demo, "Display Mode Not Compatible", 20));
    const std::string err = stderrText(run.demo);
    const size_t hint = err.find("--desktop");
    ASSERT_NE(hint, std::string::npos) << err;
    const size_t line = err.rfind('\n', hint) + 1;
    EXPECT_LT(err.find("--window", line), err.find('\n', hint)) << err;
    unsigned long box = waitForWindow(run.display, "Error", 10);
    ASSERT_NE(box, 0u);
    pause(0.5);
    ASSERT_TRUE(focusWindow(run.display, box));
    runWithDisplay(run.display, "xdotool key Return");
    EXPECT_EQ(waitForExit(run.demo, 20), 0);
    EXPECT_EQ(stderrText(run.demo).find("Unable to"), std::string::npos);
}

// --loop starts the run again at its end instead of ending it: started a
// second before the end, it still plays seconds later, until Escape.
TEST(DemoRun, LoopingRunGoesOnPastTheEndUntilEscape) {
    RunningDemo run;
    startDemo(run, binaryDir(), 640, 480, "dummy", {"--loop", "--from", "89"});
    ASSERT_NE(waitForWindow(run.display, title, 20), 0u);
    pause(4.0); // the clock starts at 89 s once loading is done
    EXPECT_TRUE(isRunning(run.demo)) << stderrText(run.demo);
    runWithDisplay(run.display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(run.demo, 10), 0);
}

// No soundtrack and no audio device: the music's play requests (from 14 s)
// and every frame's spectrum find nothing and the run goes on; started near
// the end, it plays to the end and exits 0 by itself. ALSA with no card to
// open says so in lines of its own; the run says it in one.
TEST(DemoRunLate, MissingSoundtrackAndNoAudioDevicePlaySilentlyToTheEnd) {
    std::string folder = makeDataFolder({"sound/pokemon.mp3"});
    {
        RunningDemo run;
        startDemo(run, folder, 640, 480, "no-such-driver", {"--from", "13.5"});
        ASSERT_NE(waitForWindow(run.display, title, 30), 0u);
        pause(4.0); // loading takes well under 3.5 s: the play requests were made
        EXPECT_TRUE(isRunning(run.demo));
        runWithDisplay(run.display, "xdotool key Escape");
        EXPECT_EQ(waitForExit(run.demo, 10), 0);
    }
    {
        RunningDemo run;
        ASSERT_TRUE(startVirtualDisplay(run.display, 640, 480));
        ASSERT_TRUE(
            startProcess(run.demo, demoBinary, folder,
                         {"DISPLAY=" + run.display.name, "SDL_AUDIODRIVER=alsa", "AUDIODEV=hw:99"},
                         {"--from", "87"}));
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(waitForExit(run.demo, 40), 0);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GT(seconds, 2.9);
        EXPECT_EQ(stderrText(run.demo),
                  "quarnel: no sound device found: the demo plays without sound\n");
    }
    removeDataFolder(folder);
}
