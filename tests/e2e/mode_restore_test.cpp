// The desktop's display mode on a server that really switches (Xorg with the
// dummy driver, desktop at 1920 x 1080): back however a run that switched it
// ends, crashes and kill -9 included, with the exit codes a shell reports;
// never touched when no switch is asked for or the mode is refused; and the
// guard process gone with the demo. A fresh server per run: the dummy driver
// can lose modes once a client dies mid-switch.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "resources/data_files.h"
#include "x_window.h"
#include "xorg_display.h"

static const std::string demoBinary = QUARNEL_BINARY_DIR "/quarnel";
static const std::string desktop = "1920x1080";
static const std::string switched = "640x480"; // SDL resizes the screen with the mode

static void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

static std::string commandLine(const std::filesystem::path& process) {
    std::ifstream file(process / "cmdline");
    std::string text;
    std::getline(file, text, '\n');
    return text;
}

// The guards whose parent is pid (a library may fork other children briefly).
static std::vector<pid_t> guardsOf(pid_t pid) {
    std::vector<pid_t> children;
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", failed)) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
        char state = 0;
        pid_t parent = 0;
        if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %d", &state, &parent) == 2 &&
            parent == pid && state != 'Z' &&
            commandLine(entry.path()).find("--display-guard") != std::string::npos)
            children.push_back(pid_t(std::stol(entry.path().filename())));
    }
    return children;
}

// Gone, or a zombie waiting for the init process to collect it.
static bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return !std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z";
}

static bool endsWithin(pid_t pid, double seconds) {
    for (int i = 0; i < seconds * 50 && !ended(pid); i++)
        pause(0.02);
    return ended(pid);
}

static void startDemo(const VirtualDisplay& display, DemoProcess& demo,
                      const std::vector<std::string>& arguments = {},
                      const std::string& folder = QUARNEL_BINARY_DIR) {
    ASSERT_TRUE(startProcess(demo, demoBinary, folder,
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}, arguments));
}

// Starts the default run and returns its guard once the display is switched.
static pid_t startSwitchedRun(const VirtualDisplay& display, DemoProcess& demo,
                              const std::string& folder = QUARNEL_BINARY_DIR) {
    startDemo(display, demo, {}, folder);
    EXPECT_TRUE(waitForDisplayMode(display, switched, 30)) << displayMode(display);
    const std::vector<pid_t> guard = guardsOf(demo.pid);
    EXPECT_EQ(guard.size(), 1u) << "the guard process";
    return guard.empty() ? 0 : guard[0];
}

// Ends the run as ending says, then checks its code, the mode and the guard.
struct Ending {
    const char* name;
    int signal; // 0: Escape
    int exitCode;
};

static void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

static void endAndCheck(const VirtualDisplay& display, DemoProcess& demo, pid_t guard,
                        const Ending& ending) {
    if (ending.signal)
        kill(demo.pid, ending.signal);
    else
        runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 30), ending.exitCode) << stderrText(demo);
    EXPECT_TRUE(waitForDisplayMode(display, desktop, 10)) << displayMode(display);
    EXPECT_TRUE(endsWithin(guard, 5));
}

class RunEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(RunEnding, GivesTheDesktopItsModeBackAndLeavesNoProcess) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess demo;
    const pid_t guard = startSwitchedRun(display, demo);
    ASSERT_GT(guard, 0);
    endAndCheck(display, demo, guard, GetParam());
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

// Answers every box titled caption (focus, Return) until the demo ends, and
// notes any moment the display was not at the desktop's mode; the exit code.
static int answerBoxesUntilExit(const VirtualDisplay& display, DemoProcess& demo,
                                const std::string& caption, std::string& otherMode) {
    for (int i = 0; i < 1500 && isRunning(demo); i++, pause(0.02)) {
        const std::string mode = displayMode(display);
        if (mode != desktop && otherMode.empty()) otherMode = mode;
        if (unsigned long box = findWindow(display, caption)) {
            focusWindow(display, box);
            runWithDisplay(display, "xdotool key Return");
        }
    }
    return waitForExit(demo, 1);
}

// A missing picture ends the run with 1 after its box, through exit().
TEST(ModeRestore, MissingPictureAnsweredGivesTheModeBack) {
    const std::string folder = makeDataFolder({std::string(jpegFiles[2]).substr(5)});
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess demo;
    const pid_t guard = startSwitchedRun(display, demo, folder);
    ASSERT_TRUE(waitForStderr(demo, "Unable to load JPG File!", 30)) << stderrText(demo);
    std::string otherMode;
    EXPECT_EQ(answerBoxesUntilExit(display, demo, "Error", otherMode), 1);
    EXPECT_TRUE(waitForDisplayMode(display, desktop, 10)) << displayMode(display);
    EXPECT_TRUE(endsWithin(guard, 5));
    removeDataFolder(folder);
}

// With no 640 x 480 mode the display never changes: the box, then exit 0.
TEST(ModeRestore, RefusedModeChangesNothing) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display, false));
    DemoProcess demo;
    startDemo(display, demo);
    ASSERT_TRUE(waitForStderr(demo, "Display Mode Not Compatible", 30)) << stderrText(demo);
    std::string otherMode;
    EXPECT_EQ(answerBoxesUntilExit(display, demo, "Error", otherMode), 0) << stderrText(demo);
    EXPECT_EQ(otherMode, "");
    EXPECT_EQ(displayMode(display), desktop);
}

// The options that keep the desktop's mode never switch it, nor start a guard.
class KeptMode : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(KeptMode, NeverSwitchesTheDisplay) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess demo;
    std::vector<std::string> arguments = GetParam();
    arguments.insert(arguments.end(), {"--from", "87"});
    startDemo(display, demo, arguments);
    std::string otherMode;
    size_t children = 0;
    for (int i = 0; i < 1500 && isRunning(demo); i++, pause(0.02)) {
        const std::string mode = displayMode(display);
        if (mode != desktop && otherMode.empty()) otherMode = mode;
        children = std::max(children, guardsOf(demo.pid).size());
    }
    EXPECT_EQ(waitForExit(demo, 1), 0) << stderrText(demo);
    EXPECT_EQ(otherMode, "");
    EXPECT_EQ(children, 0u);
}

INSTANTIATE_TEST_SUITE_P(Options, KeptMode,
                         ::testing::Values(std::vector<std::string>{"--desktop"},
                                           std::vector<std::string>{"--window"},
                                           std::vector<std::string>{"--size", "800x600"}));

// Two runs in a row on one server, the second killed: each switches, each
// gives the mode back.
TEST(ModeRestore, TwoRunsInARow) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    for (const Ending& ending : {Ending{"Escape", 0, 0}, Ending{"Kill", SIGKILL, 137}}) {
        DemoProcess demo;
        const pid_t guard = startSwitchedRun(display, demo);
        ASSERT_GT(guard, 0);
        endAndCheck(display, demo, guard, ending);
    }
}

// A window manager between the demo and the display changes nothing.
TEST(ModeRestore, KilledUnderAWindowManager) {
    VirtualDisplay display;
    ASSERT_TRUE(startModeSwitchingDisplay(display));
    DemoProcess manager;
    ASSERT_TRUE(startWindowManager(display, manager, "/usr/bin/openbox", 20));
    DemoProcess demo;
    const pid_t guard = startSwitchedRun(display, demo);
    ASSERT_GT(guard, 0);
    endAndCheck(display, demo, guard, Ending{"Kill", SIGKILL, 137});
}
