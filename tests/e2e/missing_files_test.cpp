// The real demo under a virtual X server with files missing or damaged, with
// signals and with no display: what it says, which boxes wait for an answer,
// what it reads, and how it ends. Needs the generated data set.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "resources/demo_state.h"
#include "tree_paths.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

static const std::string demoBinary = binaryDir() + "/quarnel";
static const char* const title = "Vormak - Quarnel";
static const std::string jpegMessage = "Error: Unable to load JPG File!";
static const std::string objectMessage = "tegn3d::loadFromFile: Unable to open object file";

static void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

static double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A data folder removed when the test ends.
struct Folder {
    std::string path;
    explicit Folder(std::string p) : path(std::move(p)) {}
    ~Folder() { removeDataFolder(path); }
};

static std::string emptyFolder() {
    char pattern[] = "/tmp/quarnel-empty-XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

struct RunningDemo {
    VirtualDisplay display;
    DemoProcess demo;
    Clock::time_point start;
};

static void startDemo(RunningDemo& run, const std::string& folder,
                      std::vector<std::string> environment = {"SDL_AUDIODRIVER=dummy"},
                      const std::vector<std::string>& arguments = {}) {
    ASSERT_TRUE(startVirtualDisplay(run.display, 640, 480));
    environment.push_back("DISPLAY=" + run.display.name);
    run.start = Clock::now();
    ASSERT_TRUE(startProcess(run.demo, demoBinary, folder, environment, arguments));
}

// A late start draws one frame just before every scene and element edge up
// to its time, so every scene is drawn with what start-up left, then the
// timeline plays to its end from there.
static const std::vector<std::string> nearTheEnd = {"--from", "87"};

// Answers every box titled caption (focus, Return) until the demo ends; its
// exit code, or -1 when it is still running after seconds (it is then killed).
static int answerBoxesUntilExit(RunningDemo& run, const std::string& caption, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (!isRunning(run.demo)) return waitForExit(run.demo, 1);
        if (unsigned long box = findWindow(run.display, caption)) {
            pause(0.3); // let it map before it takes the focus
            focusWindow(run.display, box);
            runWithDisplay(run.display, "xdotool key Return");
        }
        pause(0.1);
    }
    return waitForExit(run.demo, 0);
}

static std::string belowData(const char* path) {
    return std::string(path).substr(5);
}

// A missing JPEG stops the start-up at that file: its box waits for an
// answer, then the run ends with 1 through the normal exit path (which gives
// the desktop its mode back). Earlier JPEGs were read, nothing after it was.
class MissingJpeg : public ::testing::TestWithParam<int> {};

TEST_P(MissingJpeg, ShowsItsMessageAndEndsWithOneReadingNothingAfterIt) {
    const int missing = GetParam();
    Folder folder(copyDataFolder({belowData(jpegFiles[missing])}));
    OpenWatch watch;
    ASSERT_TRUE(startOpenWatch(watch, folder.path));
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path));
    ASSERT_TRUE(waitForStderr(run.demo, jpegMessage, 30)) << stderrText(run.demo);
    // The box holds the run: nothing ends before it is answered.
    pause(1.0);
    EXPECT_TRUE(isRunning(run.demo));
    EXPECT_EQ(answerBoxesUntilExit(run, "Error", 30), 1);

    const std::string err = stderrText(run.demo);
    EXPECT_EQ(countOf(err, jpegMessage), 1) << err;
    EXPECT_EQ(err.find(objectMessage), std::string::npos) << err;
    std::vector<std::string> expected;
    for (int i = 0; i < missing; i++)
        expected.push_back(belowData(jpegFiles[i]));
    EXPECT_EQ(openedFiles(watch), expected);
}

INSTANTIATE_TEST_SUITE_P(EachJpeg, MissingJpeg, ::testing::Range(0, jpegFileCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = fs::path(jpegFiles[info.param]).stem().string();
                             return "slot" + std::to_string(info.param) + "_" + name;
                         });

// Noise in place of a JPEG is fatal without a box: the decoder's reason names
// the file, and the run ends with 1 before anything later is read.
TEST(DamagedJpeg, NoiseEndsTheRunWithOneAndTheDecodersReason) {
    Folder folder(copyDataFolder({}));
    ASSERT_TRUE(replaceDataFile(folder.path, "pic/blue.jpg", garbageBytes(6000, 9)));
    OpenWatch watch;
    ASSERT_TRUE(startOpenWatch(watch, folder.path));
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path));
    EXPECT_EQ(waitForExit(run.demo, 30), 1);
    const std::string err = stderrText(run.demo);
    EXPECT_NE(err.find("data/pic/blue.jpg: "), std::string::npos) << err;
    EXPECT_EQ(err.find(jpegMessage), std::string::npos) << err;
    EXPECT_EQ(openedFiles(watch),
              std::vector<std::string>(
                  {belowData(jpegFiles[0]), belowData(jpegFiles[1]), belowData(jpegFiles[2])}));
}

TEST(MissingData, NoDataFolderStopsAtTheFirstJpeg) {
    Folder folder(emptyFolder());
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path));
    ASSERT_TRUE(waitForStderr(run.demo, jpegMessage, 30)) << stderrText(run.demo);
    EXPECT_EQ(answerBoxesUntilExit(run, "Error", 30), 1);
    EXPECT_EQ(countOf(stderrText(run.demo), jpegMessage), 1);
}

TEST(CleanExit, TerminateSignalEndsTheRunLikeEscape) {
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, binaryDir()));
    ASSERT_NE(waitForWindow(run.display, title, 20), 0u);
    pause(1.0);
    ASSERT_TRUE(isRunning(run.demo));
    kill(run.demo.pid, SIGTERM);
    EXPECT_EQ(waitForExit(run.demo, 10), 0);
}

// No X server and no Wayland compositor: a clear line and 1, never an
// invisible run drawn offscreen.
TEST(CleanExit, WithoutADisplayItSaysSoAndEndsWithOne) {
    Folder runtime(emptyFolder());
    std::string unusedDisplay = ":4999";
    for (int n = 4999; fs::exists("/tmp/.X11-unix/X" + std::to_string(n)); n++)
        unusedDisplay = ":" + std::to_string(n + 1);
    const std::vector<std::vector<std::string>> cases = {
        {"-u", "DISPLAY"},
        {"DISPLAY=" + unusedDisplay},
    };
    for (const std::vector<std::string>& display : cases) {
        SCOPED_TRACE(display.back());
        // No Wayland either, not even the default socket in the runtime folder.
        std::vector<std::string> arguments = {"-u", "WAYLAND_DISPLAY", "-u", "SDL_VIDEODRIVER"};
        arguments.insert(arguments.end(), display.begin(), display.end());
        arguments.push_back("XDG_RUNTIME_DIR=" + runtime.path);
        arguments.push_back(demoBinary);
        DemoProcess demo;
        ASSERT_TRUE(startProcess(demo, "/usr/bin/env", binaryDir(), {}, arguments));
        EXPECT_EQ(waitForExit(demo, 20), 1);
        const std::string err = stderrText(demo);
        EXPECT_NE(err.find("quarnel: no display: "), std::string::npos) << err;
        EXPECT_EQ(err.find("Unable to"), std::string::npos) << err;
    }
}

// Started near the end: every scene drawn once on the way, then the run ends
// by itself with 0. Every frame of the timeline with these files missing is
// drawn by the capture (CaptureEverythingMissing in broken_data_capture_test).

TEST(MissingLate, EveryPngMissingPlaysThroughWithoutAMessage) {
    std::vector<std::string> leaveOut;
    for (const PngFile& file : pngFiles)
        leaveOut.push_back(belowData(file.path));
    Folder folder(makeDataFolder(leaveOut));
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path, {"SDL_AUDIODRIVER=dummy"}, nearTheEnd));
    EXPECT_EQ(answerBoxesUntilExit(run, "Error", 40), 0);
    EXPECT_GT(secondsSince(run.start), 2.9);
    const std::string err = stderrText(run.demo);
    EXPECT_EQ(err.find("Unable to"), std::string::npos) << err;
}

// kule.ebr is read twice, so five boxes for four files; each waits for its
// answer, and the run goes on once they are answered.
TEST(MissingLate, EveryObjectFileMissingShowsFiveBoxesThenPlaysThrough) {
    std::vector<std::string> leaveOut;
    for (const ObjectFile& file : objectFiles)
        leaveOut.push_back(belowData(file.path));
    Folder folder(makeDataFolder(leaveOut));
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path, {"SDL_AUDIODRIVER=dummy"}, nearTheEnd));
    ASSERT_TRUE(waitForStderr(run.demo, objectMessage, 30)) << stderrText(run.demo);
    pause(1.0);
    EXPECT_EQ(countOf(stderrText(run.demo), objectMessage), 1) << "the first box waits";
    EXPECT_EQ(answerBoxesUntilExit(run, "tegn3d::loadFromFile", 60), 0);
    EXPECT_GT(secondsSince(run.start), 2.9);
    const std::string err = stderrText(run.demo);
    EXPECT_EQ(countOf(err, objectMessage), 5) << err;
    EXPECT_EQ(err.find(jpegMessage), std::string::npos) << err;
}

// Noise where the soundtrack should be: the device plays, the stream is
// refused, and every sample handed to the device is silence, also once the
// music's play requests begin at 14 s.
TEST(MissingLate, GarbageSoundtrackPlaysSilently) {
    Folder folder(makeDataFolder({}));
    ASSERT_TRUE(replaceDataFile(folder.path, "sound/pokemon.mp3",
                                garbageBytes(generatedDataFile("sound/pokemon.mp3").size(), 7)));
    const std::string output = folder.path + "/device.raw";
    RunningDemo run;
    ASSERT_NO_FATAL_FAILURE(startDemo(run, folder.path,
                                      {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + output},
                                      {"--from", "13.5"}));
    ASSERT_NE(waitForWindow(run.display, title, 30), 0u);
    pause(4.0); // loading takes well under 3.5 s: past 14 s, the play requests made
    ASSERT_TRUE(isRunning(run.demo));
    runWithDisplay(run.display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(run.demo, 10), 0);

    // Seconds of stereo float frames reached the device, all of them zero.
    std::ifstream device(output, std::ios::binary);
    std::vector<char> sound(std::istreambuf_iterator<char>(device), {});
    EXPECT_GT(sound.size(), size_t(2 * 44100 * 8));
    size_t loud = 0;
    for (char byte : sound)
        loud += byte != 0;
    EXPECT_EQ(loud, 0u);
}
