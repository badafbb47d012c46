// The Windows demo, quarnel.exe, run by Wine on a virtual X server with Mesa:
// its window, frames where the geometry puts them, and how a run ends. Needs
// the Linux build's generated data set and the Wine prefix of the test run.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

#include "broken_data.h"
#include "demo_process.h"
#include "picture_files.h"
#include "xorg_display.h"
#include "tree_paths.h"

static const std::string wine = QUARNEL_WINE;
static const std::string windowsBuild = QUARNEL_WINDOWS_BUILD;
static const char* const title = "Vormak - Quarnel";
using Clock = std::chrono::steady_clock;

// Wine's desktop process belongs to the display of the run that started it:
// each run ends the prefix's processes before its display goes away.
struct WineRun {
    VirtualDisplay display;
    DemoProcess demo;
    ~WineRun() { runWithDisplay(display, "wineserver -k"); }
};

// Wine's .NET and HTML engines stay out: their installers would ask to download them.
static const std::string quietWine = "WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=";

static void startOnDisplay(WineRun& run, const std::string& folder,
                           const std::vector<std::string>& options = {},
                           const std::string& program = windowsBuild + "/quarnel.exe") {
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), options.begin(), options.end());
    // The environment asks for SDL's own DPI scaling too, which the demo turns down.
    ASSERT_TRUE(startProcess(run.demo, wine, folder,
                             {"DISPLAY=" + run.display.name, "SDL_AUDIODRIVER=dummy",
                              "SDL_WINDOWS_DPI_SCALING=1", "WINEDEBUG=-all",
                              "WINEDLLOVERRIDES=mscoree,mshtml="},
                             arguments));
}

static void startUnderWine(WineRun& run, const std::string& folder,
                           const std::vector<std::string>& options = {},
                           const std::string& program = windowsBuild + "/quarnel.exe") {
    ASSERT_TRUE(startVirtualDisplay(run.display, 640, 480));
    startOnDisplay(run, folder, options, program);
}

// The whole virtual screen, through ImageMagick's import.
static Still screenShot(const VirtualDisplay& display) {
    const std::string path = testFilePath("screen.png");
    Still shot;
    if (runWithDisplay(display, "import -window root '" + path + "'") == 0) readStill(path, shot);
    return shot;
}

// Takes screen shots until one passes shows; false after seconds.
static bool waitForScreen(const VirtualDisplay& display, double seconds,
                          const std::function<bool(const Still&)>& shows) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (shows(screenShot(display))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// What the probe, run under Wine beside the demo, finds for the window of
// that class and title: "left top width height modeWidth modeHeight".
static std::string probeWindow(const VirtualDisplay& display, const std::string& windowClass) {
    const std::string line = quietWine + " DISPLAY=" + display.name + " '" + wine + "' '" +
                             windowsBuild + "/find-window.exe' '" + windowClass + "' '" + title +
                             "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            for (const char* c = buffer; *c; c++)
                if (*c != '\r') out += *c; // Wine's console ends lines with \r\n
        pclose(pipe);
    }
    return out;
}

// A data folder whose named pictures are single flat colours.
static std::string flatPictures(const std::vector<std::pair<std::string, Pixel>>& pictures) {
    const std::string folder = makeDataFolder({});
    for (const auto& [path, c] : pictures) {
        const TestPicture picture =
            solidPicture(64, 64, {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
        EXPECT_TRUE(replaceDataFile(folder, path, encodeTestJpeg(picture)));
    }
    return folder;
}

// The first two slides, flat in this colour, are a unit plate three units in
// front of the eye from 2 to 10 s, blended over black with a falling alpha.
// Checks the first screen shot with one where the 640 x 480 picture, placed
// from column left and scaled by scale, puts it (blended over black, every
// channel keeps the picture's proportions), and returns it (or nothing).
static const Pixel slideColour{200, 120, 40};
static Still expectSlide(const VirtualDisplay& display, double left, double scale) {
    const auto at = [&](const Still& shot, double column, double row) {
        return pixelOf(shot, left + column * scale, row * scale);
    };
    const auto blended = [](Pixel seen) {
        const double alpha = double(seen.r) / slideColour.r;
        return Pixel{seen.r, int(slideColour.g * alpha + 0.5), int(slideColour.b * alpha + 0.5)};
    };
    Still seen;
    EXPECT_TRUE(waitForScreen(display, 30, [&](const Still& shot) {
        const Pixel centre = at(shot, 320, 240);
        if (centre.r < 40 || !near(centre, blended(centre), 8)) return false;
        seen = shot;
        return true;
    })) << "no slide showed where the geometry puts it";
    if (seen.rgb.empty()) return seen;
    const auto samplesNear = [&](const Region& region, Pixel colour) {
        int count = 0;
        for (const auto& [column, row] : pointsOf(region))
            count += near(at(seen, column, row), colour, 8);
        return count;
    };
    const Pixel plate = blended(at(seen, 320, 240));
    EXPECT_EQ(samplesNear({-3, 45, 4.0 / 3, {-0.8, 0, 0.8}, {-0.8, 0, 0.8}}, plate), 9);
    EXPECT_EQ(samplesNear({-3, 45, 4.0 / 3, {-1.4, 1.4}, {-0.9, 0.9}}, {0, 0, 0}), 4);
    return seen;
}

TEST(WindowsDemo, FullScreenWindowOfItsClassShowsTheFirstSlideAndEscapeEndsTheRun) {
    const std::string folder =
        flatPictures({{"pic/1.jpg", slideColour}, {"pic/2.jpg", slideColour}});
    WineRun run;
    startUnderWine(run, folder);
    ASSERT_NE(waitForWindow(run.display, title, 60), 0u);
    EXPECT_EQ(probeWindow(run.display, "blint"), "0 0 640 480 640 480\n");
    expectSlide(run.display, 0, 1);
    runWithDisplay(run.display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(run.demo, 20), 0) << stderrText(run.demo);
    removeDataFolder(folder);
}

// From 18 s on the overlay has glided to (0.4, -1.2) at depth 7 and is added
// to the background picture, a unit plate at depth 3.
TEST(WindowsDemo, OverlayFramesLandWhereTheGeometryPutsThem) {
    const Pixel background{0, 110, 0};
    const Pixel overlay{130, 0, 90};
    const std::string folder =
        flatPictures({{"pic/iso512utenzem.jpg", background}, {"pic/zem256.jpg", overlay}});
    WineRun run;
    startUnderWine(run, folder, {"--from", "18.5"});
    const Region overlaySamples{-7, 45, 4.0 / 3, {-0.4, 0.4, 1.2}, {-2.0, -1.2, -0.4}};
    const Region backgroundSamples{-3, 45, 4.0 / 3, {-0.8, 0, 0.8}, {0.8, 0.3}};
    const Region outside{-3, 45, 4.0 / 3, {-1.4, 1.4}, {-0.9, 0, 0.9}};
    const Pixel sum{130, 110, 90};
    Still last;
    EXPECT_TRUE(waitForScreen(run.display, 30,
                              [&](const Still& shot) {
                                  last = shot;
                                  return samplesNear(shot, overlaySamples, sum, 8) == 9 &&
                                         samplesNear(shot, backgroundSamples, background, 8) == 6 &&
                                         samplesNear(shot, outside, {0, 0, 0}, 4) == 6;
                              }))
        << "centre " << describe(pixelOf(last, 320, 240)) << ", overlay "
        << describe(pixelOf(last, 353, 339));
    runWithDisplay(run.display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(run.demo, 20), 0) << stderrText(run.demo);
    removeDataFolder(folder);
}

// The box comes up over the full-screen window; once answered, the run ends with 1.
TEST(WindowsDemo, MissingJpegShowsItsBoxAndEndsWithOne) {
    const std::string folder = makeDataFolder({"pic/1.jpg"});
    WineRun run;
    startUnderWine(run, folder);
    ASSERT_TRUE(waitForStderr(run.demo, "Unable to load JPG File!", 60)) << stderrText(run.demo);
    const unsigned long box = waitForWindow(run.display, "Error", 20);
    ASSERT_NE(box, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(isRunning(run.demo)); // the box waits for its answer
    ASSERT_TRUE(focusWindow(run.display, box));
    runWithDisplay(run.display, "xdotool key Return");
    EXPECT_EQ(waitForExit(run.demo, 20), 1) << stderrText(run.demo);
    removeDataFolder(folder);
}

// Sets the prefix's desktop scale (96 dpi is 100 %); run on the test's display,
// or Wine's session would keep a desktop of its own default size.
static std::string logPixelsCommand(int dpi) {
    return quietWine + " '" + wine +
           "' reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d " +
           std::to_string(dpi) + " /f >/dev/null 2>&1";
}

// With the desktop scaled to 150 % (144 dots per inch) as at 100 %, --desktop
// covers the whole 960 x 600 screen at its own pixels, with the slides in the
// 800 x 600 picture between 80-pixel black bars where the geometry puts them.
TEST(WindowsDemo, DesktopKeepsTheScreensOwnPixelsWhenTheDesktopIsScaled) {
    const std::string folder =
        flatPictures({{"pic/1.jpg", slideColour}, {"pic/2.jpg", slideColour}});
    struct BackTo96 { // for the tests that follow, however this one ends
        ~BackTo96() { std::system((logPixelsCommand(96) + " && wineserver -w").c_str()); }
    } backTo96;
    for (const int dpi : {144, 96}) {
        SCOPED_TRACE(dpi);
        WineRun run;
        ASSERT_TRUE(startVirtualDisplay(run.display, 960, 600));
        EXPECT_EQ(runWithDisplay(run.display, logPixelsCommand(dpi)), 0);
        startOnDisplay(run, folder, {"--desktop"});
        ASSERT_NE(waitForWindow(run.display, title, 60), 0u);
        EXPECT_EQ(probeWindow(run.display, "blint"), "0 0 960 600 960 600\n");
        const Still seen = expectSlide(run.display, 80, 1.25);
        for (const int x : {40, 919}) // the bars
            EXPECT_TRUE(seen.rgb.empty() || near(pixelOf(seen, x, 300), {0, 0, 0}, 4)) << x;
        runWithDisplay(run.display, "xdotool key Escape");
        EXPECT_EQ(waitForExit(run.demo, 20), 0) << stderrText(run.demo);
    }
    removeDataFolder(folder);
}

// The timeline ends the run by itself at 90 s of demo time.
TEST(WindowsDemo, PlaysToTheEndByItself) {
    WineRun run;
    startUnderWine(run, binaryDir(), {"--from", "86"});
    ASSERT_NE(waitForWindow(run.display, title, 60), 0u);
    const auto shown = Clock::now();
    EXPECT_EQ(waitForExit(run.demo, 60), 0) << stderrText(run.demo);
    EXPECT_GT(std::chrono::duration<double>(Clock::now() - shown).count(), 3.0);
}

// Wine's OpenGL on Mesa under Xvfb swaps without waiting for a vertical
// blank, so quarnel.exe paces its frames itself: three seconds of the intro
// in a small window take a fraction of the CPU they take with --no-vsync
// (the kernel's count for the process Wine runs it in, all its threads).
TEST(WindowsDemo, PacedFramesLeaveTheCpuIdle) {
    const auto cpuSeconds = [](pid_t pid) {
        std::string stat;
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
        unsigned long user = 0, system = 0; // fields 14 and 15, after the name's ')'
        std::sscanf(stat.substr(stat.rfind(')') + 2).c_str(),
                    "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lu %lu", &user, &system);
        return double(user + system) / double(sysconf(_SC_CLK_TCK));
    };
    double cpu[2] = {}; // --no-vsync, paced
    for (const bool paced : {true, false}) {
        WineRun run;
        std::vector<std::string> options = {"--size", "160x120", "--from", "8"};
        if (!paced) options.push_back("--no-vsync");
        startUnderWine(run, binaryDir(), options);
        ASSERT_NE(waitForWindow(run.display, title, 60), 0u);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const double before = cpuSeconds(run.demo.pid);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        cpu[paced] = cpuSeconds(run.demo.pid) - before;
        kill(run.demo.pid, SIGTERM);
        EXPECT_EQ(waitForExit(run.demo, 20), 128 + SIGTERM) << stderrText(run.demo);
    }
    std::printf("CPU seconds in 3 s: paced %.2f, --no-vsync %.2f\n", cpu[1], cpu[0]);
    EXPECT_LT(cpu[1], 0.5 * cpu[0]);
}

// Whether a watchdog (quarnel.exe --display-guard) runs on this display.
static bool watchdogRuns(const VirtualDisplay& display) {
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", failed)) {
        std::string command, environment, stat;
        std::getline(std::ifstream(entry.path() / "cmdline"), command, '\n');
        std::getline(std::ifstream(entry.path() / "environ"), environment, '\n');
        std::getline(std::ifstream(entry.path() / "stat"), stat);
        if (command.find("--display-guard") != std::string::npos &&
            environment.find(std::string("DISPLAY=") + display.name + '\0') != std::string::npos &&
            stat.find(") Z") == std::string::npos)
            return true;
    }
    return false;
}

// On a display that really switches (Xorg, dummy driver, 1920 x 1080), the
// desktop gets its mode back however the run ends: Wine, unlike Windows,
// does not undo a full-screen switch of a process that was killed.
TEST(WindowsDemo, DesktopModeComesBackHoweverTheRunEnds) {
    for (const int signal : {0, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal ? strsignal(signal) : "Escape");
        WineRun run;
        ASSERT_TRUE(startModeSwitchingDisplay(run.display));
        startOnDisplay(run, binaryDir());
        ASSERT_TRUE(waitForDisplayMode(run.display, "640x480", 60)) << displayMode(run.display);
        EXPECT_TRUE(watchdogRuns(run.display));
        if (signal) kill(run.demo.pid, signal);
        // With no window manager the window takes the keys once it is mapped and focused.
        for (int i = 0; !signal && i < 20 && isRunning(run.demo); i++) {
            focusWindow(run.display, findWindow(run.display, title));
            runWithDisplay(run.display, "xdotool key Escape");
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        EXPECT_EQ(waitForExit(run.demo, 20), signal ? 128 + signal : 0) << stderrText(run.demo);
        EXPECT_TRUE(waitForDisplayMode(run.display, "1920x1080", 10)) << displayMode(run.display);
        for (int i = 0; i < 50 && watchdogRuns(run.display); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(watchdogRuns(run.display));
    }
}

// With no 640 x 480 mode the display never changes: the box, then exit 0.
TEST(WindowsDemo, RefusedModeChangesNothing) {
    WineRun run;
    ASSERT_TRUE(startModeSwitchingDisplay(run.display, false));
    startOnDisplay(run, binaryDir());
    ASSERT_TRUE(waitForStderr(run.demo, "Display Mode Not Compatible", 60)) << stderrText(run.demo);
    std::string otherMode;
    for (int i = 0; i < 1500 && isRunning(run.demo); i++) {
        const std::string mode = displayMode(run.display);
        if (mode != "1920x1080" && otherMode.empty()) otherMode = mode;
        if (unsigned long box = findWindow(run.display, "Error")) {
            focusWindow(run.display, box);
            runWithDisplay(run.display, "xdotool key Return");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(waitForExit(run.demo, 1), 0) << stderrText(run.demo);
    EXPECT_EQ(otherMode, "");
}

// The Windows archive as scripts/release makes it, twice the same bytes:
// mpg123 is a DLL beside quarnel.exe, which imports it, with its licence and
// the source it was built from; unpacked, the demo plays to its end with it.
TEST(WindowsRelease, ArchiveCarriesMpg123AsADllAndPlaysUnpacked) {
    const std::string folder = testFilePath("release");
    const std::string zip = folder + "/one/quarnel-1.0-win64.zip";
    for (const char* copy : {"one", "two"})
        ASSERT_NE(commandOutput("rm -rf '" + folder + "/" + copy + "' && cd " + sourceDir() +
                                " && release/stage-win64 '" + windowsBuild + "' '" + folder + "/" +
                                copy + "/stage' && " + binaryDir() + "/quarnel --help >'" + folder +
                                "/" + copy + "/stage/usage.txt' && release/pack win64 1.0 '" +
                                folder + "/" + copy + "/stage' " + binaryDir() + "/data '" +
                                folder + "/" + copy + "/quarnel-1.0-win64.zip'"),
                  "failed");
    EXPECT_EQ(
        commandOutput("cmp '" + zip + "' '" + folder + "/two/quarnel-1.0-win64.zip' && echo same"),
        "same\n");
    EXPECT_EQ(commandOutput("unzip -Z1 '" + zip + "' | grep -v /data/ | grep -i -e dll -e mpg123"),
              "quarnel-1.0-win64/libmpg123-0.dll\nquarnel-1.0-win64/licences/mpg123-COPYING.txt\n"
              "quarnel-1.0-win64/licences/mpg123.txt\n");
    const std::string top = folder + "/unpacked/quarnel-1.0-win64";
    ASSERT_NE(commandOutput("unzip -q -o '" + zip + "' -d '" + folder + "/unpacked'"), "failed");
    EXPECT_EQ(commandOutput("x86_64-w64-mingw32-objdump -p '" + top +
                            "/quarnel.exe' | grep -o 'DLL Name: lib.*'"),
              "DLL Name: libmpg123-0.dll\n");
    EXPECT_NE(commandOutput("cat '" + top + "/licences/sources.txt'").find("\nmpg123 "),
              std::string::npos);
    EXPECT_NE(commandOutput("cat '" + top + "/licences/mpg123-COPYING.txt'")
                  .find("GNU LESSER GENERAL PUBLIC LICENSE"),
              std::string::npos);

    {
        WineRun run;
        startUnderWine(run, top, {"--from", "87"}, top + "/quarnel.exe");
        EXPECT_NE(waitForWindow(run.display, title, 60), 0u) << stderrText(run.demo);
        EXPECT_EQ(waitForExit(run.demo, 60), 0) << stderrText(run.demo);
    }
    commandOutput("rm -rf '" + folder + "'");
}
