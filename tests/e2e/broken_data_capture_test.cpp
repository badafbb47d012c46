// quarnel-capture in folders whose data set has a picture or an object file
// missing or damaged: each scene copes at its time, and the stills show what
// the geometry of the scene says they must.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "broken_data.h"
#include "demo_process.h"
#include "picture_files.h"
#include "resources/data_files.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

static const std::string objectMessage = "tegn3d::loadFromFile: Unable to open object file";
static const Pixel white{255, 255, 255};
static const Pixel black{0, 0, 0};
constexpr double windowAspect = 640.0 / 480.0;

// A data folder of links to the generated set, removed when the test ends.
struct Folder {
    std::string path;
    explicit Folder(const std::vector<std::string>& leaveOut) : path(makeDataFolder(leaveOut)) {}
    ~Folder() { removeDataFolder(path); }
};

// A missing PNG leaves its slot 0: the plate is drawn untextured, in the
// opaque white it is drawn with. The regions lie inside the plate and clear
// of anything drawn over it.
struct MissingPicture {
    const char* file;
    double time;
    Region plate;
};

static const MissingPicture missingPictures[] = {
    // the claw skills card at rest at z -5.4, under the window's 45-degree view
    {"pic/pokemon/clawskills.png",
     30.0,
     {-5.4, 45.0, windowAspect, {0.6, 1.5, 2.4}, {-0.9, 0, 0.9}}},
    // the vs plate, 7 units away and only growing with the bass; the portraits
    // start at x = +-0.5
    {"pic/pokemon/vs.png", 50.0, {-7.0, 45.0, 1.0, {-0.4, 0, 0.4}, {-0.8, 0, 0.8}}},
    // the upper left greeting, above the one that overlaps its lower half
    {"pic/ferda.png", 70.0, {-4.0, 80.0, 1.0, {-2.9, -2.0, -1.1}, {2.1, 2.5, 2.9}}},
    // the upper left credit, drawn last, under the wobble's projection
    {"pic/movik.png", 85.0, {-4.0, 80.0, 1.0, {-3.3, -2.5, -1.6}, {1.1, 2.0, 2.9}}},
};

// The capture plays on without a word, the plate white where its picture goes.
static void expectUntexturedPlate(const std::string& folder, const MissingPicture& c) {
    const CaptureRun run = captureStills(folder, {c.time});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("Unable to"), std::string::npos) << run.err;
    const Still still = stillAt(folder, c.time);
    ASSERT_EQ(still.width, 640);
    for (const auto& [column, row] : pointsOf(c.plate)) {
        const Pixel p = pixelOf(still, column, row);
        EXPECT_TRUE(near(p, white, 2)) << column << ", " << row << ": " << describe(p);
    }
}

TEST(CaptureMissingPicture, EachPlateShowsUntexturedWhereItsPictureGoes) {
    // With every picture present none of these plates is plain white, so the
    // checks below can tell a missing picture from a present one.
    Folder whole({});
    std::vector<double> times;
    for (const MissingPicture& c : missingPictures)
        times.push_back(c.time);
    const CaptureRun intact = captureStills(whole.path, times);
    ASSERT_EQ(intact.exitCode, 0) << intact.err;
    for (const MissingPicture& c : missingPictures) {
        const Still still = stillAt(whole.path, c.time);
        ASSERT_EQ(still.width, 640);
        EXPECT_LT(samplesNear(still, c.plate, white, 2), int(pointsOf(c.plate).size())) << c.file;
    }

    for (const MissingPicture& c : missingPictures) {
        SCOPED_TRACE(c.file);
        Folder folder({c.file});
        expectUntexturedPlate(folder.path, c);
    }
}

// A picture that cannot be read is drawn as a missing one.
TEST(CaptureMissingPicture, DamagedPngsShowUntexturedToo) {
    const MissingPicture& greeting = missingPictures[2];
    const std::vector<uint8_t> whole = generatedDataFile(greeting.file);
    ASSERT_GT(whole.size(), 100u);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> damaged = {
        {"noise", garbageBytes(whole.size(), 5)},
        {"first half", std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2)},
        {"header of 100000 x 100000 pixels", pngHeaderOnly(100000, 100000)},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        Folder folder({greeting.file});
        ASSERT_TRUE(replaceDataFile(folder.path, greeting.file, bytes));
        expectUntexturedPlate(folder.path, greeting);
    }
}

// A JPEG that ends early loads what it has: the library's warning does not
// stop the run. The slide is a flat colour whose scan data is cut in half, so
// its top rows are intact; over black at 0.775 opacity 1.5 s into the slide.
TEST(CaptureDamagedJpeg, ScanCutShortStillShowsItsTopRows) {
    const Pixel colour{40, 160, 220};
    std::vector<uint8_t> bytes = encodeTestJpeg(
        solidPicture(256, 256, {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)}));
    size_t scan = 0;
    for (size_t i = 0; i + 1 < bytes.size() && !scan; i++)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) scan = i;
    ASSERT_GT(scan, 0u);
    bytes.resize(scan + (bytes.size() - scan) / 2);
    Folder folder({});
    ASSERT_TRUE(replaceDataFile(folder.path, "pic/1.jpg", bytes));

    const CaptureRun run = captureStills(folder.path, {2.5});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Still still = stillAt(folder.path, 2.5);
    ASSERT_EQ(still.width, 640);
    const Region top{-3.0, 45.0, windowAspect, {-0.8, 0.0, 0.8}, {0.9, 0.7}};
    const Pixel faded{31, 124, 171}; // colour x 0.775
    for (const auto& [column, row] : pointsOf(top)) {
        const Pixel p = pixelOf(still, column, row);
        EXPECT_TRUE(near(p, faded, 3)) << column << ", " << row << ": " << describe(p);
    }
    // The bottom rows were cut off: whatever the library fills them with, it
    // is not the picture's colour.
    const Pixel bottom = pixelOf(still, 320, rowAt(-0.9, -3.0, 45.0));
    EXPECT_FALSE(near(bottom, faded, 3)) << describe(bottom);
}

// Noise in place of a JPEG is fatal, as in the demo: the decoder's reason
// with the file's name, exit 1 and no still.
TEST(CaptureDamagedJpeg, NoiseEndsWithOneAndTheReason) {
    Folder folder({});
    ASSERT_TRUE(replaceDataFile(folder.path, "pic/zem256.jpg", garbageBytes(4000, 3)));
    const CaptureRun run = captureStills(folder.path, {2.5});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("data/pic/zem256.jpg: "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Unable to load JPG File!"), std::string::npos) << run.err;
    EXPECT_TRUE(stillAt(folder.path, 2.5).rgb.empty());
}

// Damaged object files, each read as one that cannot be opened: its
// container stays empty and the scenes leave that model out. The tunnel and
// the ball get one flat red texture and the room a flat blue one, so each
// model shows as its own colour against the black the scenes clear to.
static const Pixel red{200, 40, 40};
static const Pixel roomBlue{40, 80, 120};

// Every damage but the last is reported; a file of no meshes is legal and
// loads quietly, with nothing to draw.
enum class Damage { missing, empty, truncated, garbage, badIndex, noMeshes };

static const char* nameOf(Damage damage) {
    switch (damage) {
    case Damage::missing:
        return "missing";
    case Damage::empty:
        return "empty";
    case Damage::truncated:
        return "truncated";
    case Damage::garbage:
        return "garbage";
    case Damage::badIndex:
        return "badIndex";
    case Damage::noMeshes:
        return "noMeshes";
    }
    return "";
}

static uint32_t wordAt(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// The file as the damage leaves it; false when it is to be left out.
static bool damagedFile(const std::string& relative, Damage damage, std::vector<uint8_t>& bytes) {
    bytes = generatedDataFile(relative);
    switch (damage) {
    case Damage::missing:
        return false;
    case Damage::empty:
        bytes.clear();
        break;
    case Damage::truncated:
        bytes.resize(bytes.size() / 2);
        break;
    case Damage::garbage:
        bytes = garbageBytes(bytes.size(), 11);
        break;
    case Damage::badIndex: {
        // the first corner of mesh 0's first triangle, one past its last vertex
        const uint32_t vertexcnt = wordAt(bytes, 4), ignored = wordAt(bytes, 12);
        const size_t corner = 16 + size_t(ignored) + 20 * size_t(vertexcnt);
        for (int i = 0; i < 4; i++)
            bytes[corner + i] = uint8_t(vertexcnt >> (8 * i));
        break;
    }
    case Damage::noMeshes:
        bytes.assign(4, 0);
        break;
    }
    return true;
}

// Top band of the battle at 50 s: only the tunnel, above every picture.
static int tunnelSamples(const Still& still, Pixel colour, int tolerance) {
    int count = 0;
    for (int row = 2; row < 60; row += 8)
        for (int column = 4; column < 640; column += 16)
            count += near(pixelOf(still, column, row), colour, tolerance);
    return count;
}
constexpr int tunnelSampleCount = 8 * 40;

// Top band of the room at 70 s: above the greetings, and far from the ball.
static int roomSamples(const Still& still, Pixel colour, int tolerance) {
    int count = 0;
    for (int row = 1; row < 20; row += 4)
        for (int column = 4; column < 640; column += 16)
            count += near(pixelOf(still, column, row), colour, tolerance);
    return count;
}
constexpr int roomSampleCount = 5 * 40;

// The middle of the room at 70 s, where the ball turns and no picture lies:
// the ball's lines among the room's wall.
static int ballPixels(const Still& still, Pixel colour, int tolerance) {
    int count = 0;
    for (int row = 150; row < 320; row++)
        for (int column = 250; column < 380; column++)
            count += near(pixelOf(still, column, row), colour, tolerance);
    return count;
}

struct ModelCase {
    const char* file;
    int boxes; // kule.ebr is read into two containers
    bool tunnel, room, ball;
};

static const ModelCase modelCases[] = {
    {"objects/tunnel.ebr", 1, false, true, true},
    {"objects/bicube.ebr", 1, true, true, true}, // loaded, never drawn
    {"objects/kube2.ebr", 1, true, false, true},
    {"objects/kule.ebr", 2, true, true, false},
};

static std::vector<uint8_t> rgbOf(Pixel c) {
    return {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)};
}

static void flattenModelTextures(const std::string& folder) {
    ASSERT_TRUE(
        replaceDataFile(folder, "pic/blue.jpg", encodeTestJpeg(solidPicture(64, 64, rgbOf(red)))));
    std::vector<uint8_t> rgba = rgbOf(roomBlue);
    rgba.push_back(255);
    ASSERT_TRUE(replaceDataFile(folder, "pic/vegg.png", encodeTestPng(solidPicture(64, 64, rgba))));
}

static void expectModels(const std::string& folder, bool tunnel, bool room, bool ball) {
    const Still battle = stillAt(folder, 50.0);
    ASSERT_EQ(battle.width, 640);
    if (tunnel)
        EXPECT_GT(tunnelSamples(battle, red, 4), tunnelSampleCount * 9 / 10);
    else
        EXPECT_EQ(tunnelSamples(battle, black, 2), tunnelSampleCount);

    const Still wobble = stillAt(folder, 70.0);
    ASSERT_EQ(wobble.width, 640);
    if (room)
        EXPECT_GT(roomSamples(wobble, roomBlue, 4), roomSampleCount * 9 / 10);
    else
        EXPECT_EQ(roomSamples(wobble, black, 2), roomSampleCount);
    if (ball)
        EXPECT_GT(ballPixels(wobble, red, 4), 200);
    else
        EXPECT_EQ(ballPixels(wobble, red, 40), 0);
}

TEST(CaptureDamagedModel, IntactFilesShowTunnelRoomAndBall) {
    Folder folder({});
    flattenModelTextures(folder.path);
    const CaptureRun run = captureStills(folder.path, {50.0, 70.0});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find(objectMessage), std::string::npos) << run.err;
    expectModels(folder.path, true, true, true);
}

class CaptureDamagedModel : public ::testing::TestWithParam<std::tuple<int, Damage>> {};

TEST_P(CaptureDamagedModel, SceneLeavesTheModelOutAfterItsBoxes) {
    const ModelCase& c = modelCases[std::get<0>(GetParam())];
    const Damage damage = std::get<1>(GetParam());
    Folder folder({c.file});
    flattenModelTextures(folder.path);
    std::vector<uint8_t> bytes;
    if (damagedFile(c.file, damage, bytes)) {
        ASSERT_TRUE(replaceDataFile(folder.path, c.file, bytes));
    }

    const CaptureRun run = captureStills(folder.path, {50.0, 70.0});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(countOf(run.err, objectMessage), damage == Damage::noMeshes ? 0 : c.boxes) << run.err;
    expectModels(folder.path, c.tunnel, c.room, c.ball);
}

INSTANTIATE_TEST_SUITE_P(EachFile, CaptureDamagedModel,
                         ::testing::Combine(::testing::Range(0, 4),
                                            ::testing::Values(Damage::missing, Damage::empty,
                                                              Damage::truncated, Damage::garbage,
                                                              Damage::badIndex, Damage::noMeshes)),
                         [](const ::testing::TestParamInfo<std::tuple<int, Damage>>& info) {
                             const std::string file =
                                 fs::path(modelCases[std::get<0>(info.param)].file).stem();
                             return file + "_" + nameOf(std::get<1>(info.param));
                         });

// With every PNG and every object file missing, every frame of the timeline
// (here two a second) is drawn: pictures untextured, models left out, the
// object-file message once for each of the five loads, nothing else said.
TEST(CaptureEverythingMissing, WholeTimelineIsDrawnWithNoPngAndNoObjectFile) {
    std::vector<std::string> leaveOut;
    for (const PngFile& file : pngFiles)
        leaveOut.push_back(std::string(file.path).substr(5));
    for (const ObjectFile& file : objectFiles)
        leaveOut.push_back(std::string(file.path).substr(5));
    Folder folder(leaveOut);
    const std::string line = "cd '" + folder.path + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                             binaryDir() +
                             "/quarnel-capture' --from 0 --to 90 --fps 2 --out out "
                             ">/dev/null 2>stderr.txt";
    const int status = std::system(line.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream errFile(folder.path + "/stderr.txt");
    const std::string err(std::istreambuf_iterator<char>(errFile), {});
    EXPECT_EQ(countOf(err, objectMessage), 5) << err;
    EXPECT_EQ(err.find("Unable to load"), std::string::npos) << err;
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(folder.path + "/out"))
        frames += entry.path().extension() == ".png";
    EXPECT_EQ(frames, 181);
}
