// The desktop's display mode on a server that really switches (Xorg with the
// dummy driver, desktop at 1920 x 1080): back however a run that switched it
// ends, crashes and kill -9 included, with the exit codes a shell reports;
// never touched when no switch is asked for or the mode is refused; and the
// guard process gone with the demo. A fresh server per test: the dummy driver
// can lose modes once a client dies mid-switch.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>

#include "broken_data.h"
#include "resources/data_files.h"
#include "x_window.h"
#include "xorg_display.h"
#include "tree_paths.h"

static const std::string desktop = "1920x1080";

// The guard: a child of the demo started with --display-guard (libraries
// may fork other children briefly).
static pid_t guardOf(pid_t demo) {
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", failed)) {
        std::string stat, command;
        std::getline(std::ifstream(entry.path() / "stat"), stat);
        std::getline(std::ifstream(entry.path() / "cmdline"), command);
        int parent = 0;
        if (stat.rfind(')') != std::string::npos &&
            std::sscanf(stat.c_str() + stat.rfind(')') + 2, "%*c %d", &parent) == 1 &&
            parent == demo && command.find("--display-guard") != std::string::npos)
            return pid_t(std::stol(entry.path().filename()));
    }
    return 0;
}

// Gone, or a zombie left for the init process to collect, within 5 s.
static bool ends(pid_t pid) {
    for (int i = 0; i < 250; i++, usleep(20000)) {
        std::string stat;
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
        if (stat.empty() || stat.substr(stat.rfind(')') + 2, 1) == "Z") return true;
    }
    return false;
}

// Watches a run to its end, answering its boxes; the first mode other than
// the desktop's it saw (or ""; one between a switch's two steps gives way to
// the next), whether it ever had a guard, its exit code.
struct Watched {
    std::string otherMode;
    bool guarded = false;
    int exitCode = -1;
};

static Watched watchToTheEnd(const VirtualDisplay& display, DemoProcess& demo) {
    Watched seen;
    for (int i = 0; i < 1500 && isRunning(demo); i++, usleep(20000)) {
        const std::string mode = displayMode(display);
        // A switch sets the CRTC and the screen's size one after the other:
        // the mode between the two may be seen on the way to the switched one.
        const bool between = seen.otherMode.find(" in a ") != std::string::npos;
        if (mode != desktop && (seen.otherMode.empty() || between)) seen.otherMode = mode;
        seen.guarded = seen.guarded || guardOf(demo.pid);
        if (unsigned long box = findWindow(display, "Error")) {
            focusWindow(display, box);
            runWithDisplay(display, "xdotool key Return");
        }
    }
    seen.exitCode = waitForExit(demo, 1);
    return seen;
}

static void start(const VirtualDisplay& display, DemoProcess& demo,
                  const std::vector<std::string>& arguments = {},
                  const std::string& folder = binaryDir()) {
    ASSERT_TRUE(startProcess(demo, binaryDir() + "/quarnel", folder,
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}, arguments));
}

struct Ending {
    const char* name;
    int signal; // 0: Escape
    int exitCode;
};
static void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

// Starts the default run, waits for the switch, ends it as ending says, and
// checks its code, the mode and that the guard went with it.
static void switchAndEnd(const VirtualDisplay& display, const Ending& ending) {
    DemoProcess demo;
    start(display, demo);
    ASSERT_TRUE(waitForDisplayMode(display, "640x480", 30)) << displayMode(display);
    const pid_t guard = guardOf(demo.pid);
    ASSERT_GT(guard, 0);
    if (ending.signal)
        kill(demo.pid, ending.signal);
    else
        runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 30), ending.exitCode) << stderrText(demo);
    EXPECT_TRUE(waitForDisplayMode(display, desktop, 10)) << displayMode(display);
    EXPECT_TRUE(ends(guard));
}

class RunEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(RunEnding, GivesTheDesktopItsModeBackAndLeavesNoProcess) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    switchAndEnd(display, GetParam());
}

// Hang-up, interrupt and terminate end the run as Escape does; every other
// signal as the shell reports it, 128 + its number.
INSTANTIATE_TEST_SUITE_P(
    EveryWay, RunEnding,
    ::testing::Values(
        Ending{"Escape", 0, 0}, Ending{"Hup", SIGHUP, 0}, Ending{"Int", SIGINT, 0},
        Ending{"Term", SIGTERM, 0}, Ending{"Quit", SIGQUIT, 128 + SIGQUIT},
        Ending{"Pipe", SIGPIPE, 128 + SIGPIPE}, Ending{"Alrm", SIGALRM, 128 + SIGALRM},
        Ending{"Usr1", SIGUSR1, 128 + SIGUSR1}, Ending{"Usr2", SIGUSR2, 128 + SIGUSR2},
        Ending{"Segv", SIGSEGV, 128 + SIGSEGV}, Ending{"Bus", SIGBUS, 128 + SIGBUS},
        Ending{"Fpe", SIGFPE, 128 + SIGFPE}, Ending{"Ill", SIGILL, 128 + SIGILL},
        Ending{"Abrt", SIGABRT, 128 + SIGABRT}, Ending{"Kill", SIGKILL, 128 + SIGKILL}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

// Two runs in a row under a window manager, the second killed: each
// switches, each gives the mode back.
TEST(ModeRestore, TwoRunsInARowUnderAWindowManager) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess manager;
    ASSERT_TRUE(startWindowManager(display, manager, "/usr/bin/openbox", 20));
    switchAndEnd(display, Ending{"Escape", 0, 0});
    switchAndEnd(display, Ending{"Kill", SIGKILL, 137});
}

// A missing picture's box, answered, ends a switched run with 1 through exit().
TEST(ModeRestore, MissingPictureAnsweredGivesTheModeBack) {
    const std::string folder = makeDataFolder({std::string(jpegFiles[2]).substr(5)});
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess demo;
    start(display, demo, {}, folder);
    const Watched seen = watchToTheEnd(display, demo);
    EXPECT_EQ(seen.exitCode, 1) << stderrText(demo);
    EXPECT_EQ(seen.otherMode, "640x480");
    EXPECT_TRUE(waitForDisplayMode(display, desktop, 10)) << displayMode(display);
    removeDataFolder(folder);
}

// With no 640 x 480 mode, and with the options that keep the desktop's mode,
// the display never changes and no guard starts; each run ends with 0.
class KeptMode : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(KeptMode, NeverSwitchesTheDisplay) {
    const bool refused = GetParam().empty();
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display, !refused));
    DemoProcess demo;
    std::vector<std::string> arguments = GetParam();
    if (!refused) arguments.insert(arguments.end(), {"--from", "87"});
    start(display, demo, arguments);
    const Watched seen = watchToTheEnd(display, demo);
    EXPECT_EQ(seen.exitCode, 0) << stderrText(demo);
    EXPECT_EQ(refused, stderrText(demo).find("Display Mode Not Compatible") != std::string::npos);
    EXPECT_EQ(seen.otherMode, "");
    EXPECT_FALSE(seen.guarded);
}

INSTANTIATE_TEST_SUITE_P(RefusedOrOptions, KeptMode,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"--desktop"},
                                           std::vector<std::string>{"--window"},
                                           std::vector<std::string>{"--size", "800x600"}));

// How a run ends: Escape to its window, the timeline's end (from 84 s), kill -9.
enum class Way { Escape, ByItself, Kill };
struct TwoRuns {
    const char* name;
    Way ways[2];   // the run started first, the one started while it plays
    int endsFirst; // 0 or 1
};

static unsigned long windowOf(const VirtualDisplay& display, const DemoProcess& demo) {
    const std::string search = " xdotool search --pid " + std::to_string(demo.pid);
    return std::strtoul(commandOutput("DISPLAY=" + display.name + search).c_str(), nullptr, 10);
}

static void endRun(const VirtualDisplay& display, DemoProcess& demo, Way way) {
    if (way == Way::Kill) kill(demo.pid, SIGKILL);
    if (way == Way::Escape && focusWindow(display, windowOf(display, demo)))
        runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 30), way == Way::Kill ? 137 : 0) << stderrText(demo);
}

// Two copies overlapping, each ending each way in both orders: the desktop
// has its mode once both have ended, and the second run's guard, which found
// the mode held, was collected at once.
class TwoCopies : public ::testing::TestWithParam<TwoRuns> {};

TEST_P(TwoCopies, LeaveTheDesktopItsMode) {
    const TwoRuns& runs = GetParam();
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess copies[2];
    start(display, copies[0], {"--from", runs.ways[0] == Way::ByItself ? "84" : "60"});
    ASSERT_TRUE(waitForDisplayMode(display, "640x480", 30)) << displayMode(display);
    start(display, copies[1], {"--from", runs.ways[1] == Way::ByItself ? "84" : "60"});
    for (int i = 0; i < 1500 && !windowOf(display, copies[1]); i++)
        usleep(20000);
    ASSERT_TRUE(isRunning(copies[0]) && isRunning(copies[1]));
    EXPECT_EQ(commandOutput("ps -o stat= --ppid " + std::to_string(copies[1].pid)).find('Z'),
              std::string::npos);
    endRun(display, copies[runs.endsFirst], runs.ways[runs.endsFirst]);
    endRun(display, copies[1 - runs.endsFirst], runs.ways[1 - runs.endsFirst]);
    EXPECT_TRUE(waitForDisplayMode(display, desktop, 10)) << displayMode(display);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, TwoCopies,
    ::testing::Values(TwoRuns{"FirstByItselfThenKill", {Way::ByItself, Way::Kill}, 0},
                      TwoRuns{"FirstKilledThenByItself", {Way::Kill, Way::ByItself}, 0},
                      TwoRuns{"FirstEscapeThenEscape", {Way::Escape, Way::Escape}, 0},
                      TwoRuns{"SecondEscapeThenKill", {Way::Kill, Way::Escape}, 1},
                      TwoRuns{"SecondKilledThenByItself", {Way::ByItself, Way::Kill}, 1},
                      TwoRuns{"SecondByItselfThenEscape", {Way::Escape, Way::ByItself}, 1}),
    [](const ::testing::TestParamInfo<TwoRuns>& info) { return std::string(info.param.name); });

// The guard keeps only its standard streams, socket (3) and display (4); a
// kill -9 puts back the switched output, and the screen's size grown for the
// second output the viewer turned on beside it (800 x 600 at x = 1920).
TEST(ModeRestore, GuardKeepsOnlyItsOwnAndRestoresOnlyTheSwitch) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    const int inherited = open("/dev/zero", O_RDONLY); // no close-on-exec
    DemoProcess demo;
    start(display, demo, {"--from", "60"});
    close(inherited);
    ASSERT_TRUE(waitForDisplayMode(display, "640x480", 30)) << displayMode(display);
    const pid_t guard = guardOf(demo.pid);
    ASSERT_GT(guard, 0);
    EXPECT_EQ(commandOutput("ls /proc/" + std::to_string(guard) + "/fd"), "0\n1\n2\n3\n4\n");
    ASSERT_EQ(runWithDisplay(display, "sh -c 'xrandr --addmode DUMMY1 800x600 && xrandr "
                                      "--output DUMMY1 --mode 800x600 --pos 1920x0'"),
              0);
    kill(demo.pid, SIGKILL);
    EXPECT_TRUE(waitForDisplayMode(display, "1920x1080 in a 2720x1080 screen", 10))
        << displayMode(display);
    EXPECT_TRUE(ends(guard));
}
