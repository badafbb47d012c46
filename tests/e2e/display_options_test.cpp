// The demo's command line end to end under a virtual X server: the default
// full screen with and without a window manager, the picture placed in
// screens and windows of other shapes, a late start, and mistakes.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "picture_files.h"
#include "x_window.h"
#include "tree_paths.h"

using Clock = std::chrono::steady_clock;

static const std::string demoBinary = binaryDir() + "/quarnel";
static const char* const title = "Vormak - Quarnel";

static void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Polls until the window's client area is at (x, y) with that size and shown.
static bool waitForGeometry(const VirtualDisplay& display, unsigned long window, int x, int y,
                            int width, int height, WindowGeometry& geometry) {
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        if (windowGeometry(display, window, geometry) && geometry.viewable && geometry.x == x &&
            geometry.y == y && geometry.width == width && geometry.height == height)
            return true;
        pause(0.05);
    }
    return false;
}

static std::string describe(const WindowGeometry& g) {
    return std::to_string(g.width) + "x" + std::to_string(g.height) + " at " + std::to_string(g.x) +
           "," + std::to_string(g.y) + (g.viewable ? "" : ", not shown");
}

// The default run: the exact 640 x 480 mode, the window over all of it, keys
// taken, Escape ends it with 0; the same whether a window manager runs or not.
class FullScreen : public ::testing::TestWithParam<bool> {};

TEST_P(FullScreen, CoversTheScreenTakesKeysAndEscapeEndsIt) {
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess manager;
    if (GetParam()) {
        ASSERT_TRUE(startWindowManager(display, manager, "/usr/bin/openbox", 20));
    }
    DemoProcess demo;
    ASSERT_TRUE(startProcess(demo, demoBinary, binaryDir(),
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}));
    const unsigned long window = waitForWindow(display, title, 20);
    ASSERT_NE(window, 0u);
    WindowGeometry geometry;
    EXPECT_TRUE(waitForGeometry(display, window, 0, 0, 640, 480, geometry)) << describe(geometry);
    // The window manager has been asked for, and granted, full screen.
    bool granted = !GetParam();
    for (int i = 0; i < 100 && !granted; i++, pause(0.05))
        granted = windowHasState(display, window, "_NET_WM_STATE_FULLSCREEN");
    EXPECT_TRUE(granted);
    runWithDisplay(display, "xdotool key a key space");
    pause(0.5);
    EXPECT_TRUE(isRunning(demo));
    runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 10), 0) << stderrText(demo);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, FullScreen, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Openbox" : "None");
                         });

// Flat pictures for the battle's end: the full-window background and
// clawomon on the right.
static const Pixel background{40, 160, 90};
static const Pixel clawomon{220, 60, 30};
static const Pixel black{0, 0, 0};

static std::vector<uint8_t> flatPng(Pixel c) {
    return encodeTestPng(solidPicture(64, 64, {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b), 255}));
}

// Polls the window until the pixel at (column, row) is near colour; false after 20 s.
static bool waitForPixel(const VirtualDisplay& display, unsigned long window, double column,
                         double row, Pixel colour, Still& image) {
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
        if (readWindowImage(display, window, image) && near(pixelOf(image, column, row), colour, 3))
            return true;
        pause(0.02);
    }
    return false;
}

struct Layout {
    const char* name;
    int screenWidth, screenHeight;
    std::vector<std::string> arguments;
    int windowWidth, windowHeight;
    int left, top, width, height; // the picture in the window, rows from the top
};

static void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

static const Layout layouts[] = {
    {"DesktopWiderThanFourByThree", 1920, 1080, {"--desktop"}, 1920, 1080, 240, 0, 1440, 1080},
    {"WindowOfFourByThree", 1024, 768, {"--size", "800x600"}, 800, 600, 0, 0, 800, 600},
    {"WindowTallerThanFourByThree", 1024, 1024, {"--size", "800x800"}, 800, 800, 0, 100, 800, 600},
};

class ScaledPicture : public ::testing::TestWithParam<Layout> {};

// The battle's end from 57 s. The scene draws under the projection the battle
// opening left, 45 degrees at aspect 1, now placed in the picture's
// rectangle. Its background covers the clip square, so it fills the rectangle
// exactly; clawomon's plate spans eye x 1.5..3.5 and y -2..0 at depth 9 (the
// window's own 4:3 projection would put it at 0.3..0.7 of the half-width).
TEST_P(ScaledPicture, LandsWhereTheGeometryPutsItWithBlackBars) {
    const Layout& layout = GetParam();
    const std::string folder = makeDataFolder({});
    ASSERT_TRUE(replaceDataFile(folder, "pic/bakgrunn.png", flatPng(background)));
    ASSERT_TRUE(replaceDataFile(folder, "pic/pokemon/clawomon.png", flatPng(clawomon)));
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, layout.screenWidth, layout.screenHeight));
    std::vector<std::string> arguments = layout.arguments;
    arguments.insert(arguments.end(), {"--from", "57"});
    DemoProcess demo;
    ASSERT_TRUE(startProcess(demo, demoBinary, folder,
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}, arguments));
    const unsigned long window = waitForWindow(display, title, 20);
    ASSERT_NE(window, 0u);
    WindowGeometry geometry;
    const int x = (layout.screenWidth - layout.windowWidth) / 2;
    const int y = (layout.screenHeight - layout.windowHeight) / 2;
    ASSERT_TRUE(
        waitForGeometry(display, window, x, y, layout.windowWidth, layout.windowHeight, geometry))
        << describe(geometry);

    // Normalized device coordinates to window points; f = 1 / tan(22.5 deg).
    const double f = 2.414213562;
    auto column = [&](double ndcX) { return layout.left + (ndcX + 1.0) / 2.0 * layout.width; };
    auto row = [&](double ndcY) { return layout.top + (1.0 - ndcY) / 2.0 * layout.height; };
    Still image;
    ASSERT_TRUE(waitForPixel(display, window, column(-0.9), row(0.9), background, image))
        << stderrText(demo);

    struct Expected {
        double column, row;
        Pixel colour;
    };
    std::vector<Expected> expected = {
        // clawomon at (3.3, -1.8) and (2.4, -1.5) in the eye at depth 9
        {column(3.3 * f / 9), row(-1.8 * f / 9), clawomon},
        {column(2.4 * f / 9), row(-1.5 * f / 9), clawomon},
        // the background to within a pixel of each edge of the rectangle
        {column(0.0), layout.top + 0.5, background},
        {column(0.0), layout.top + layout.height - 0.5, background},
        {layout.left + 0.5, row(0.5), background},
        {layout.left + layout.width - 0.5, row(0.5), background},
    };
    // Bars: just outside each edge that has one, and in the middle of it.
    if (layout.left > 0)
        expected.insert(expected.end(), {{layout.left - 0.5, row(0.5), black},
                                         {layout.left / 2.0, row(0.5), black},
                                         {layout.left + layout.width + 0.5, row(0.5), black},
                                         {layout.windowWidth - 0.5, row(-0.9), black}});
    if (layout.top > 0)
        expected.insert(expected.end(), {{column(0.0), layout.top - 0.5, black},
                                         {column(0.5), layout.top / 2.0, black},
                                         {column(0.0), layout.top + layout.height + 0.5, black},
                                         {column(-0.5), layout.windowHeight - 0.5, black}});
    for (const Expected& e : expected) {
        const Pixel p = pixelOf(image, e.column, e.row);
        EXPECT_TRUE(near(p, e.colour, 3)) << "at " << e.column << ", " << e.row << ": "
                                          << describe(p) << " wanted " << describe(e.colour);
    }
    kill(demo.pid, SIGINT);
    EXPECT_EQ(waitForExit(demo, 10), 0);
    removeDataFolder(folder);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScaledPicture, ::testing::ValuesIn(layouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return std::string(info.param.name);
                         });

// "Vormak presents" from 2.5 s in a 640 x 480 window: a grey square at depth
// 3 filling 0.6 of the half-width and 0.8 of the half-height, blended over
// black at 1 - 0.15 (t - 1), which tells the demo time to a few hundredths.
// The first frame seen must come from no earlier than 2.5 s and no later than
// 2.5 s plus the time since the process started.
TEST(LateStart, ShowsTheSceneOfThatTimeFromTheFirstFrame) {
    const std::string folder = makeDataFolder({});
    const int grey = 200;
    ASSERT_TRUE(replaceDataFile(folder, "pic/1.jpg",
                                encodeTestJpeg(solidPicture(64, 64, {grey, grey, grey}))));
    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess demo;
    const auto start = Clock::now();
    ASSERT_TRUE(startProcess(demo, demoBinary, folder,
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"},
                             {"--window", "--from", "2.5"}));
    const unsigned long window = waitForWindow(display, title, 20);
    ASSERT_NE(window, 0u);
    Still image;
    bool shown = false;
    while (!shown && Clock::now() < start + std::chrono::seconds(20)) {
        shown = readWindowImage(display, window, image) && pixelOf(image, 320, 240).r > 0;
        if (!shown) pause(0.01);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(shown) << stderrText(demo);
    const Pixel centre = pixelOf(image, 320, 240);
    const double seen = 1.0 + (1.0 - centre.r / double(grey)) / 0.15;
    EXPECT_GE(seen, 2.5 - 0.05) << describe(centre);
    EXPECT_LE(seen, 2.5 + elapsed + 0.05) << describe(centre);
    // Beside the square, black.
    EXPECT_TRUE(near(pixelOf(image, 320 - 0.62 * 320, 240), black, 3));
    EXPECT_TRUE(near(pixelOf(image, 320 - 0.58 * 320, 240), centre, 3));
    kill(demo.pid, SIGINT);
    EXPECT_EQ(waitForExit(demo, 10), 0);
    removeDataFolder(folder);
}

// Runs quarnel with arguments and no display at all: its exit code and both
// streams, standard error first.
static int runQuarnel(const std::string& arguments, std::string& output) {
    const std::string command =
        "cd " + binaryDir() + " && DISPLAY=:9999 ./quarnel " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    output.clear();
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A mistake is one line naming it, then the usage, exit 2, and it is found
// before any display is opened (there is none here: that would say so and end
// with 1). --help and --version answer without one too.
TEST(CommandLine, MistakesEndWithTwoBeforeAnyDisplayOpens) {
    std::string output;
    EXPECT_EQ(runQuarnel("--window --size 10x10", output), 2);
    EXPECT_EQ(output.rfind("quarnel: --size needs WxH, each side from 32 to 16384 pixels, not "
                           "'10x10'\nUsage: quarnel",
                           0),
              0u)
        << output;
    EXPECT_EQ(output.find("no display"), std::string::npos) << output;
    EXPECT_EQ(runQuarnel("--help", output), 0);
    EXPECT_EQ(output.rfind("Usage: quarnel", 0), 0u) << output;
    EXPECT_NE(output.find("--desktop"), std::string::npos) << output;
    EXPECT_EQ(runQuarnel("--version", output), 0);
    EXPECT_TRUE(
        std::regex_match(output, std::regex("quarnel [0-9]+\\.[0-9]+\\.[0-9]+\n"
                                            "Quarnel, .* by Vormak\nCopyright .* Vormak\n")))
        << output;
}
