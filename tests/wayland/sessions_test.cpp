// The demo in Wayland sessions: natively under sway's headless backend, its
// frames taken with grim and Escape typed with wtype, and through XWayland
// under weston's headless backend. Compositors refuse to run as root, so a
// test run by root runs them, and every client of theirs, as nobody.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <regex>
#include <thread>
#include <unistd.h>

#include "broken_data.h"
#include "demo_process.h"
#include "picture_files.h"
#include "xorg_display.h"
#include "tree_paths.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

static const std::string demoBinary = binaryDir() + "/quarnel";

// A folder made by root is opened to nobody: its own (0700) or to read (0755).
static std::string sessionFolder(bool own) {
    char pattern[] = "/tmp/quarnel-wayland-XXXXXX";
    const std::string folder = mkdtemp(pattern) ? pattern : "";
    fs::permissions(folder, own ? fs::perms::owner_all : fs::perms(0755));
    const passwd* nobody = getpwnam("nobody");
    if (own && geteuid() == 0 && (!nobody || chown(pattern, nobody->pw_uid, nobody->pw_gid) != 0))
        ADD_FAILURE() << "cannot give " << folder << " to nobody";
    return folder;
}

// A compositor and its private runtime folder, both gone with this.
struct Session {
    std::string runtime = sessionFolder(true);
    DemoProcess compositor;
    ~Session() {
        if (compositor.pid > 0 && kill(compositor.pid, SIGTERM) == 0) waitForExit(compositor, 5);
        fs::remove_all(runtime);
    }
};

// Starts command in folder as the session's user, with only the session's
// environment and the extra entries ("NAME=value").
static bool startInSession(DemoProcess& process, const Session& session, const std::string& folder,
                           const Strings& extra, const Strings& command) {
    Strings line;
    if (geteuid() == 0)
        line = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
    line.insert(line.end(), {"/usr/bin/env", "-i", "HOME=" + session.runtime,
                             "XDG_RUNTIME_DIR=" + session.runtime, "PATH=/usr/bin:/bin",
                             "SDL_AUDIODRIVER=dummy"});
    line.insert(line.end(), extra.begin(), extra.end());
    line.insert(line.end(), command.begin(), command.end());
    return startProcess(process, line[0], folder, {}, {line.begin() + 1, line.end()});
}

static int runInSession(const Session& session, const Strings& extra, const Strings& command) {
    DemoProcess process;
    if (!startInSession(process, session, session.runtime, extra, command)) return -1;
    return waitForExit(process, 20);
}

// sway with one output of that size, windows without borders; true once its
// socket, wayland-1 in the private folder, is there.
static bool startSway(Session& session, int width, int height) {
    const std::string config = session.runtime + "/sway.conf";
    std::ofstream(config) << "xwayland disable\ndefault_border none\noutput HEADLESS-1 resolution "
                          << width << "x" << height << "\n";
    if (!startInSession(
            session.compositor, session, session.runtime,
            {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"},
            {"sway", "-c", config}))
        return false;
    for (int i = 0; i < 400 && isRunning(session.compositor); i++) {
        if (fs::exists(session.runtime + "/wayland-1")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Flat pictures for the battle's end from 57 s: the background fills the
// picture's rectangle exactly, clawomon's plate spans eye x 1.5..3.5 and
// y -2..0 at depth 9 under the 45-degree projection of aspect 1.
static const Pixel background{40, 160, 90};
static const Pixel clawomon{220, 60, 30};
static const Pixel black{0, 0, 0};

struct Output {
    int width, height;   // wider than 4:3 or 4:3, so the picture is as high as the output
    Strings environment; // for every run: how SDL comes to Wayland
    std::vector<Strings> runs;
};

static void PrintTo(const Output& output, std::ostream* out) {
    *out << output.width << "x" << output.height;
}

// Each run draws the 4:3 picture in the largest centred rectangle of the
// output; the default run as --desktop does, bars black, where a full-screen
// 640 x 480 would be stretched over the output.
class NativeWayland : public ::testing::TestWithParam<Output> {};

TEST_P(NativeWayland, PictureSitsInItsFourByThreeRectangleAndEscapeEndsTheRun) {
    const Output& output = GetParam();
    Session session;
    ASSERT_TRUE(startSway(session, output.width, output.height)) << stderrText(session.compositor);
    Strings environment = output.environment;
    environment.push_back("WAYLAND_DISPLAY=wayland-1");

    // Without data the run ends as it does once its box is answered: the box
    // (no zenity here) unseen, its text on standard error.
    const std::string empty = sessionFolder(false);
    DemoProcess failing;
    ASSERT_TRUE(startInSession(failing, session, empty, environment, {demoBinary}));
    EXPECT_EQ(waitForExit(failing, 30), 1);
    EXPECT_NE(stderrText(failing).find("Error: Unable to load JPG File!\n"), std::string::npos)
        << stderrText(failing);
    fs::remove_all(empty);

    const int width = output.height * 4 / 3, height = output.height;
    const double left = (output.width - width) / 2;
    auto column = [&](double ndcX) { return left + (ndcX + 1.0) / 2.0 * width; };
    auto row = [&](double ndcY) { return (1.0 - ndcY) / 2.0 * height; };
    const double f = 2.414213562; // 1 / tan(22.5 degrees)
    struct Expected {
        double column, row;
        Pixel colour;
    };
    const std::vector<Expected> picture = {{column(3.3 * f / 9), row(-1.8 * f / 9), clawomon},
                                           {column(0.0), 0.5, background},
                                           {column(0.0), height - 0.5, background},
                                           {left + 0.5, row(0.5), background},
                                           {left + width - 0.5, row(0.5), background}};
    const std::vector<Expected> bars = {{left - 0.5, row(0.5), black},
                                        {left / 2.0, row(-0.5), black},
                                        {left + width + 0.5, row(0.5), black}};

    const std::string folder = makeDataFolder({});
    fs::permissions(folder, fs::perms(0755));
    for (auto [file, c] : {std::pair{"pic/bakgrunn.png", background},
                           std::pair{"pic/pokemon/clawomon.png", clawomon}})
        replaceDataFile(folder, file,
                        encodeTestPng(solidPicture(
                            64, 64, {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b), uint8_t(255)})));
    for (const Strings& options : output.runs) {
        SCOPED_TRACE(options.empty() ? "the default run" : options[0]);
        Strings command = {demoBinary, "--from", "57"};
        command.insert(command.end(), options.begin(), options.end());
        DemoProcess demo;
        ASSERT_TRUE(startInSession(demo, session, folder, environment, command));
        const std::string shot = session.runtime + "/frame.png";
        Still frame;
        for (auto end = Clock::now() + std::chrono::seconds(30);
             isRunning(demo) && Clock::now() < end &&
             !near(pixelOf(frame, column(-0.9), row(0.9)), background, 3);)
            if (runInSession(session, {"WAYLAND_DISPLAY=wayland-1"}, {"grim", shot}) != 0 ||
                !readStill(shot, frame))
                frame = {};
        ASSERT_EQ(frame.width, output.width) << stderrText(demo);
        // sway tiles a window over the output, and SDL scales a window of
        // fixed size into its tile keeping its shape: the desktop shows beside it.
        std::vector<Expected> expected = picture;
        if (left > 0 && options != Strings{"--window"})
            expected.insert(expected.end(), bars.begin(), bars.end());
        for (const Expected& e : expected)
            EXPECT_TRUE(near(pixelOf(frame, e.column, e.row), e.colour, 3))
                << "at " << e.column << ", " << e.row << ": "
                << describe(pixelOf(frame, e.column, e.row)) << " wanted " << describe(e.colour);
        // wtype's keyboard is new to the seat: the pause lets the window take
        // it, and a busy machine gets a second try.
        for (int i = 0; i < 2 && isRunning(demo); i++) {
            EXPECT_EQ(runInSession(session, {"WAYLAND_DISPLAY=wayland-1"},
                                   {"wtype", "-s", "1000", "-k", "Escape"}),
                      0);
            for (int wait = 0; wait < 50 && isRunning(demo); wait++)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_EQ(waitForExit(demo, 1), 0) << stderrText(demo);
    }
    removeDataFolder(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, NativeWayland,
    ::testing::Values(Output{1024, 768, {"SDL_VIDEODRIVER=wayland"}, {{}}},
                      Output{1280, 720, {}, {{}, {"--desktop"}, {"--window"}}}),
    [](const ::testing::TestParamInfo<Output>& info) {
        return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });

// With DISPLAY set SDL takes X11, through XWayland: the default run's
// 640 x 480 switch is emulated for the demo alone, so the mode every other
// client sees stays as it was, during the run and after Escape.
TEST(XWayland, DefaultRunChangesNothingOthersSeeAndEscapeEndsIt) {
    Session session;
    ASSERT_TRUE(startInSession(session.compositor, session, session.runtime, {},
                               {"weston", "--backend=headless-backend.so", "--xwayland",
                                "--width=1280", "--height=720", "--socket=quarnel-weston"}));
    ASSERT_TRUE(waitForStderr(session.compositor, "xserver listening on display :", 20))
        << stderrText(session.compositor);
    std::smatch match;
    const std::string log = stderrText(session.compositor);
    ASSERT_TRUE(std::regex_search(log, match, std::regex("listening on display (:[0-9]+)")));
    VirtualDisplay display; // weston's: not stopped by this
    display.name = match[1];
    const Strings environment = {"DISPLAY=" + display.name};
    // XWayland admits its own user only; this test reads the modes too.
    const std::string me = getpwuid(geteuid())->pw_name;
    ASSERT_EQ(runInSession(session, environment, {"xhost", "+si:localuser:" + me}), 0);
    EXPECT_EQ(displayMode(display), "1280x720");

    DemoProcess demo;
    ASSERT_TRUE(startInSession(demo, session, binaryDir(), environment, {demoBinary}));
    ASSERT_NE(waitForWindow(display, "Vormak - Quarnel", 30), 0u) << stderrText(demo);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(isRunning(demo)) << stderrText(demo);
    EXPECT_EQ(displayMode(display), "1280x720");
    runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 10), 0) << stderrText(demo);
    EXPECT_EQ(displayMode(display), "1280x720");
}
