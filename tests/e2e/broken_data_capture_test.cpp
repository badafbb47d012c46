// quarnel-capture in folders whose data set has a picture or an object file
// missing or damaged, or pictures and the soundtrack replaced by odd but legal
// files: each scene copes at its time, and the stills show what the geometry
// of the scene says they must.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "mp3_files.h"
#include "picture_files.h"

namespace fs = std::filesystem;

static const std::string captureBinary = QUARNEL_BINARY_DIR "/quarnel-capture";
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

struct CaptureRun {
    int exitCode = -1;
    std::string err;
};

// Stills at the given times into folder/out, with no display.
static CaptureRun captureStills(const std::string& folder, const std::vector<double>& times) {
    std::string line = "cd '" + folder + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                       captureBinary + "' --out out";
    for (double t : times)
        line += " --at " + std::to_string(t);
    line += " >/dev/null 2>stderr.txt";
    const int status = std::system(line.c_str());
    CaptureRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(folder + "/stderr.txt");
    std::stringstream text;
    text << file.rdbuf();
    run.err = text.str();
    return run;
}

// The still at t, as the capture tool names it.
static Still stillAt(const std::string& folder, double t) {
    char name[32];
    std::snprintf(name, sizeof name, "at-%06d.png", int(t * 1000.0 + 0.5));
    Still still;
    EXPECT_TRUE(readStill(folder + "/out/" + name, still)) << name;
    return still;
}

static int countOf(const std::string& text, const std::string& line) {
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        count++;
    return count;
}

// Window points of eye-space samples (x, y) at depth z under a perspective.
struct Region {
    double z, fov, aspect;
    std::vector<double> xs, ys;
};

static std::vector<std::pair<double, double>> pointsOf(const Region& region) {
    std::vector<std::pair<double, double>> points;
    for (double x : region.xs)
        for (double y : region.ys)
            points.push_back({columnAt(x, region.z, region.fov, region.aspect),
                              rowAt(y, region.z, region.fov)});
    return points;
}

// How many of a region's samples are near colour.
static int samplesNear(const Still& still, const Region& region, Pixel colour, int tolerance) {
    int count = 0;
    for (const auto& [column, row] : pointsOf(region))
        count += near(pixelOf(still, column, row), colour, tolerance);
    return count;
}

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
    {"pic/pokemon/clawskills.png", 30.0, {-5.4, 45.0, windowAspect, {0.6, 1.5, 2.4}, {-0.9, 0, 0.9}}},
    // the vs plate, 7 units away and only growing with the bass; the portraits
    // start at x = +-0.5
    {"pic/pokemon/vs.png", 50.0, {-7.0, 45.0, 1.0, {-0.4, 0, 0.4}, {-0.8, 0, 0.8}}},
    // the upper left greeting, above the one that overlaps its lower half
    {"pic/ferda.png", 70.0, {-4.0, 80.0, 1.0, {-2.9, -2.0, -1.1}, {2.1, 2.5, 2.9}}},
    // the upper left credit, drawn last, under the wobble's projection
    {"pic/movik.png", 85.0, {-4.0, 80.0, 1.0, {-3.3, -2.5, -1.6}, {1.1, 2.0, 2.9}}},
};

TEST(CaptureMissingPicture, EachPlateShowsUntexturedWhereItsPictureGoes) {
    // With every picture present none of these plates is plain white, so the
    // checks below can tell a missing picture from a present one.
    Folder whole({});
    std::vector<double> times;
    for (const MissingPicture& c : missingPictures)
        times.push_back(c.time);
    const CaptureRun intact = captureStills(whole.path, times);
    ASSERT_EQ(intact.exitCode, 0) << intact.err;
    for (const MissingPicture& c : missingPictures)
        EXPECT_LT(samplesNear(stillAt(whole.path, c.time), c.plate, white, 2),
                  int(pointsOf(c.plate).size()))
            << c.file;

    for (const MissingPicture& c : missingPictures) {
        SCOPED_TRACE(c.file);
        Folder folder({c.file});
        const CaptureRun run = captureStills(folder.path, {c.time});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err.find("Unable to"), std::string::npos) << run.err;
        const Still still = stillAt(folder.path, c.time);
        for (const auto& [column, row] : pointsOf(c.plate)) {
            const Pixel p = pixelOf(still, column, row);
            EXPECT_TRUE(near(p, white, 2)) << column << ", " << row << ": " << describe(p);
        }
    }
}

// Damaged object files, each read as one that cannot be opened: its
// container stays empty and the scenes leave that model out. The tunnel and
// the ball get one flat red texture and the room a flat blue one, so each
// model shows as its own colour against the black the scenes clear to.
static const Pixel red{200, 40, 40};
static const Pixel roomBlue{40, 80, 120};

enum class Damage { missing, empty, truncated, garbage, badIndex };

static const char* nameOf(Damage damage) {
    switch (damage) {
    case Damage::missing: return "missing";
    case Damage::empty: return "empty";
    case Damage::truncated: return "truncated";
    case Damage::garbage: return "garbage";
    case Damage::badIndex: return "badIndex";
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

static std::vector<uint8_t> rgbOf(Pixel c) { return {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)}; }

static void flattenModelTextures(const std::string& folder) {
    ASSERT_TRUE(replaceDataFile(folder, "pic/blue.jpg", encodeTestJpeg(solidPicture(64, 64, rgbOf(red)))));
    std::vector<uint8_t> rgba = rgbOf(roomBlue);
    rgba.push_back(255);
    ASSERT_TRUE(replaceDataFile(folder, "pic/vegg.png", encodeTestPng(solidPicture(64, 64, rgba))));
}

static void expectModels(const std::string& folder, bool tunnel, bool room, bool ball) {
    const Still battle = stillAt(folder, 50.0);
    if (tunnel)
        EXPECT_GT(tunnelSamples(battle, red, 4), tunnelSampleCount * 9 / 10);
    else
        EXPECT_EQ(tunnelSamples(battle, black, 2), tunnelSampleCount);

    const Still wobble = stillAt(folder, 70.0);
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
    EXPECT_EQ(countOf(run.err, objectMessage), c.boxes) << run.err;
    expectModels(folder.path, c.tunnel, c.room, c.ball);
}

INSTANTIATE_TEST_SUITE_P(
    EachFile, CaptureDamagedModel,
    ::testing::Combine(::testing::Range(0, 4),
                       ::testing::Values(Damage::missing, Damage::empty, Damage::truncated,
                                         Damage::garbage, Damage::badIndex)),
    [](const ::testing::TestParamInfo<std::tuple<int, Damage>>& info) {
        const std::string file = fs::path(modelCases[std::get<0>(info.param)].file).stem();
        return file + "_" + nameOf(std::get<1>(info.param));
    });
