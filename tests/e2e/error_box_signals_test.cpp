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

using Clock = std::chrono::steady_clock;

static const std::string demoBinary = QUARNEL_BINARY_DIR "/quarnel";
static const std::string notShown = "quarnel: the message box could not be shown: ";

struct BoxCase {
    const char* name;
    std::vector<std::string> leaveOut; // below data/
    int screenWidth;                   // 800 x 600 has no 640 x 480 mode
    const char* caption;
    const char* message;
    int signal; // 0: the close request
    int exitCode;
    int messages; // how often the message is written
};

// The object files after the tunnel are still read, and kule.ebr twice, but
// once the run is ending their messages come without a box.
static const BoxCase boxCases[] = {
    {"picture box, terminate",
     {"pic/blue.jpg"},
     640,
     "Error",
     "Error: Unable to load JPG File!",
     SIGTERM,
     1,
     1},
    {"display-mode box, interrupt",
     {},
     800,
     "Error",
     "Error: Display Mode Not Compatible",
     SIGINT,
     0,
     1},
    {"object-file box, interrupt",
     {"objects/tunnel.ebr", "objects/kule.ebr"},
     640,
     "tegn3d::loadFromFile",
     "tegn3d::loadFromFile: Unable to open object file",
     SIGINT,
     0,
     3},
    {"object-file box, close request",
     {"objects/tunnel.ebr"},
     640,
     "tegn3d::loadFromFile",
     "tegn3d::loadFromFile: Unable to open object file",
     0,
     0,
     1},
};

TEST(ErrorBox, SignalOrCloseRequestEndsTheRunAtOnceWithTheAnswersCode) {
    for (const BoxCase& box : boxCases) {
        SCOPED_TRACE(box.name);
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
        EXPECT_EQ(countOf(err, box.message), box.messages) << err;
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
