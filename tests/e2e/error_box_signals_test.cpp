// The real demo under a virtual X server with an error box up: a signal or
// the box's close request ends the run at once with the code its answer would
// have led to, leaving no box behind, and a box that cannot be shown says so.
// Needs the generated data set.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "tree_paths.h"

using Clock = std::chrono::steady_clock;

static const std::string demoBinary = binaryDir() + "/quarnel";
static const std::string notShown = "quarnel: the message box could not be shown: ";

struct BoxCase {
    std::vector<std::string> leaveOut; // below data/
    int screenWidth;                   // 800 x 600 has no 640 x 480 mode
    std::string caption, text;
    int signal; // 0: the box's close request
    int exitCode;
    int messages; // how often the message is written
};

// The object files after the tunnel are still read, and kule.ebr twice, but
// once the run is ending their messages come without a box.
static const std::string object = "tegn3d::loadFromFile", objectText = "Unable to open object file";
static const BoxCase boxCases[] = {
    {{"pic/blue.jpg"}, 640, "Error", "Unable to load JPG File!", SIGTERM, 1, 1},
    {{}, 800, "Error", "Display Mode Not Compatible", SIGINT, 0, 1},
    {{"objects/tunnel.ebr", "objects/kule.ebr"}, 640, object, objectText, SIGINT, 0, 3},
    {{"objects/tunnel.ebr"}, 640, object, objectText, 0, 0, 1},
};

TEST(ErrorBox, SignalOrCloseRequestEndsTheRunAtOnceWithTheAnswersCode) {
    for (const BoxCase& box : boxCases) {
        SCOPED_TRACE(box.text + (box.signal ? ", a signal" : ", a close request"));
        const std::string folder = makeDataFolder(box.leaveOut);
        VirtualDisplay display;
        DemoProcess demo;
        ASSERT_TRUE(startVirtualDisplay(display, box.screenWidth, box.screenWidth * 3 / 4));
        ASSERT_TRUE(startProcess(demo, demoBinary, folder,
                                 {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}));
        const unsigned long window = waitForWindow(display, box.caption, 30);
        ASSERT_NE(window, 0u) << stderrText(demo);

        const Clock::time_point sent = Clock::now();
        if (box.signal)
            kill(demo.pid, box.signal);
        else
            ASSERT_TRUE(sendCloseRequest(display, window));
        // Unanswered, a box that stayed up or a later one would hold the run.
        EXPECT_EQ(waitForExit(demo, 15), box.exitCode);
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - sent).count(), 5.0);
        EXPECT_EQ(findWindow(display, box.caption), 0u) << "the box outlived the run";

        const std::string err = stderrText(demo);
        EXPECT_EQ(countOf(err, box.caption + ": " + box.text), box.messages) << err;
        EXPECT_EQ(err.find(notShown), std::string::npos) << err;
        removeDataFolder(folder);
    }
}

// A server with only its built-in fonts, as on a machine without the X core
// fonts, and no zenity to fall back on: the missing picture's message, a line
// saying the box could not be shown, and the run ends as an answer would end it.
TEST(ErrorBox, ABoxThatCannotBeShownSaysSoAndTheRunGoesOnAsIfAnswered) {
    const std::string folder = makeDataFolder({"pic/blue.jpg"});
    VirtualDisplay display;
    DemoProcess demo;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480, 24, {"-fp", "built-ins"}));
    ASSERT_TRUE(startProcess(
        demo, demoBinary, folder,
        {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy", "PATH=" + folder + "/no-programs"}));
    EXPECT_EQ(waitForExit(demo, 30), 1);
    const std::string err = stderrText(demo);
    const size_t message = err.find("Error: Unable to load JPG File!\n");
    ASSERT_NE(message, std::string::npos) << err;
    EXPECT_EQ(err.find(notShown), err.find('\n', message) + 1) << err;
    EXPECT_NE(err.find("xfonts-base"), std::string::npos) << err;
    removeDataFolder(folder);
}
