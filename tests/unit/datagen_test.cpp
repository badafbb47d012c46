// The data-set generator's meshes and soundtrack, as the build made them: the
// object files load and fit the scenes that show them; the MP3 decodes, stays
// below -1 dBFS and its lowest spectrum band pulses with the kick; another run
// gives the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/decode.h"
#include "audio/fft_bands.h"
#include "datagen.h"
#include "mesh/tegn3d.h"
#include "platform/message_box.h"
#include "resources/data_files.h"
#include "song.h"
#include "synth.h"
#include "tree_paths.h"

namespace {

constexpr double pi = 3.14159265358979323846;

std::string freshFolder(const char* name) {
    std::string dir = std::filesystem::temp_directory_path().string() + "/quarnel_" + name + "_" +
                      std::to_string(::getpid());
    std::filesystem::remove_all(dir);
    for (const char* sub : {"objects", "sound"})
        std::filesystem::create_directories(dir + "/" + sub);
    return dir;
}

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int shownBoxes = 0;
void countBox(const char*, const char*, SDL_Window*) {
    shownBoxes++;
}

// The data set the build made (the data target), in the build folder.
const std::string builtData = binaryDir();

// Loads an object file through the demo's reader; no error box allowed.
std::unique_ptr<tegn3d> loadObject(const std::string& path) {
    setMessageBoxHandler(countBox);
    shownBoxes = 0;
    auto model = std::make_unique<tegn3d>();
    EXPECT_TRUE(model->loadFromFile(path.c_str())) << path;
    EXPECT_EQ(shownBoxes, 0) << path;
    setMessageBoxHandler(nullptr);
    return model;
}

// The object files and the soundtrack as the build made them.
class Meshes : public ::testing::Test {
  protected:
    std::unique_ptr<tegn3d> load(Model model) {
        return loadObject(builtData + "/" + objectPath(model));
    }
};

class Soundtrack : public ::testing::Test {
  protected:
    static bool decoded;
    static std::vector<float> mono;

    static void SetUpTestSuite() {
        decoded = decodeMonoFile(builtData + "/" + soundtrackFile, mono);
    }
};
bool Soundtrack::decoded = false;
std::vector<float> Soundtrack::mono;

struct P {
    double x, y, z;
};
P sub(P a, P b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(P a, P b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double len(P a) {
    return std::sqrt(dot(a, a));
}
P of(const Vec3& v) {
    return {v.x, v.y, v.z};
}

// glRotate's matrix for `degrees` about the normalised axis, applied to v.
P rotate(P v, double degrees, P axis) {
    const double l = len(axis), x = axis.x / l, y = axis.y / l, z = axis.z / l;
    const double c = std::cos(degrees * pi / 180.0), s = std::sin(degrees * pi / 180.0);
    return {(x * x * (1 - c) + c) * v.x + (x * y * (1 - c) - z * s) * v.y +
                (x * z * (1 - c) + y * s) * v.z,
            (y * x * (1 - c) + z * s) * v.x + (y * y * (1 - c) + c) * v.y +
                (y * z * (1 - c) - x * s) * v.z,
            (x * z * (1 - c) - y * s) * v.x + (y * z * (1 - c) + x * s) * v.y +
                (z * z * (1 - c) + c) * v.z};
}

// Span of one texture coordinate over a mesh.
void spanOf(const Mesh& m, bool s, double& low, double& high) {
    low = 1e30, high = -1e30;
    for (int i = 0; i < m.vertexCount; i++) {
        double v = s ? m.texCoords[i].s : m.texCoords[i].t;
        low = std::min(low, v), high = std::max(high, v);
    }
}
bool whole(double x) {
    return std::fabs(x - std::round(x)) < 1e-4 && std::round(x) >= 1.0;
}

} // namespace

TEST_F(Meshes, ObjectFilesLoadWithTheExpectedMeshes) {
    auto tunnel = load(Model::tunnel), bicube = load(Model::bicube);
    auto room = load(Model::room), ball = load(Model::ball);
    EXPECT_EQ(tunnel->meshCount, 1);
    EXPECT_EQ(bicube->meshCount, 1);
    EXPECT_EQ(room->meshCount, 6);
    ASSERT_EQ(ball->meshCount, 1);
    EXPECT_GE(ball->meshes[0]->vertexCount, 2000);
    EXPECT_LE(ball->meshes[0]->vertexCount, 5000);
    // No triangle of any mesh is degenerate: every vertex gets a real normal.
    for (tegn3d* model : {tunnel.get(), bicube.get(), room.get(), ball.get()})
        for (int m = 0; m < model->meshCount; m++) {
            Mesh& mesh = *model->meshes[m];
            ASSERT_GT(mesh.triangleCount, 0);
            for (int f = 0; f < mesh.triangleCount; f++) {
                const uint32_t* c = mesh.triangles[f].corner;
                P a = of(mesh.vertices[c[0]]), b = of(mesh.vertices[c[1]]),
                  d = of(mesh.vertices[c[2]]);
                P u = sub(b, a), v = sub(d, a);
                P n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
                ASSERT_GT(len(n), 1e-6) << "mesh " << m << " triangle " << f;
            }
        }
    // The ball's texture runs once round (s) and once pole to pole (t).
    double low, high;
    spanOf(*ball->meshes[0], true, low, high);
    EXPECT_NEAR(low, 0.0, 1e-6);
    EXPECT_NEAR(high, 1.0, 1e-6);
    spanOf(*ball->meshes[0], false, low, high);
    EXPECT_NEAR(low, 0.0, 1e-6);
    EXPECT_NEAR(high, 1.0, 1e-6);
}

TEST_F(Meshes, TunnelSurroundsTheBattleCameraAndRunsAway) {
    auto tunnel = load(Model::tunnel);
    Mesh& mesh = *tunnel->meshes[0];
    // Start-up: scale, normals, mirror. The scene: translate, then turn.
    mesh.scale(0.2f);
    mesh.computeNormals();
    mesh.negate();
    double nearest = 1e30, farthest = 0.0, zLow = 1e30, zHigh = -1e30;
    int facingAxis = 0;
    for (int i = 0; i < mesh.vertexCount; i++) {
        P w = rotate(of(mesh.vertices[i]), 180.0, {-9, 1, 1});
        w.z -= 80.0;
        P n = rotate(of(mesh.normals[i]), 180.0, {-9, 1, 1});
        const double radius = std::hypot(w.x, w.y);
        nearest = std::min(nearest, radius), farthest = std::max(farthest, radius);
        zLow = std::min(zLow, w.z), zHigh = std::max(zHigh, w.z);
        if (n.x * -w.x + n.y * -w.y > 0.0) facingAxis++;
    }
    // The wall stays clear of the portraits (corners 2.69 from the axis at
    // depth 7) and of the eye; the tube reaches behind the eye at z = -85 and
    // far ahead of it.
    EXPECT_GT(nearest, 2.8);
    EXPECT_LT(farthest, 4.0);
    EXPECT_LT(zLow, -95.0);
    EXPECT_GT(zHigh, 1000.0);
    EXPECT_LT(zHigh, 9000.0);
    EXPECT_EQ(facingAxis, mesh.vertexCount);
    // The texture repeats a whole number of times round and along.
    double low, high;
    spanOf(mesh, true, low, high);
    EXPECT_TRUE(whole(high - low)) << high - low;
    spanOf(mesh, false, low, high);
    EXPECT_TRUE(whole(high - low)) << high - low;
}

TEST_F(Meshes, RoomHoldsEyeAndBallAtEveryTurnAndPulse) {
    auto room = load(Model::room);
    auto ball = load(Model::ball);
    ball->meshes[0]->scale(0.15f);
    double ballRadius = 0.0;
    for (int i = 0; i < ball->meshes[0]->vertexCount; i++)
        ballRadius = std::max(ballRadius, len(of(ball->meshes[0]->vertices[i])));
    const double wobbled = 4.0 * ballRadius; // each coordinate at most four times

    P low = {1e30, 1e30, 1e30}, high = {-1e30, -1e30, -1e30}, centre = {0, 0, 0};
    int walls = 0;
    for (int m = 0; m < room->meshCount; m++) {
        Mesh& wall = *room->meshes[m];
        wall.scale(0.1f);
        wall.computeNormals();
        for (int i = 0; i < wall.vertexCount; i++) {
            P v = of(wall.vertices[i]);
            low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
            high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
        }
        double s0, s1, t0, t1;
        spanOf(wall, true, s0, s1);
        spanOf(wall, false, t0, t1);
        EXPECT_TRUE(whole(s1 - s0) && whole(t1 - t0)) << "wall " << m;
    }
    // Every wall faces into the room, so from inside none hides another and
    // the order without depth test does not matter.
    for (int m = 0; m < room->meshCount; m++) {
        Mesh& wall = *room->meshes[m];
        bool inward = true;
        for (int i = 0; i < wall.vertexCount; i++)
            inward = inward && dot(of(wall.normals[i]), sub(centre, of(wall.vertices[i]))) > 0.0;
        walls += inward;
    }
    EXPECT_EQ(walls, 6);

    // Room coordinates of a model-space point with the box turned by `turn`
    // degrees: undo translate (0, 2, -35), the 90 degrees about x and the turn
    // about (0, 0, -1).
    auto inRoom = [&](P p, double turn) {
        P q = rotate(sub(p, {0, 2, -35}), -90.0, {1, 0, 0});
        q = rotate(q, -turn, {0, 0, -1});
        const double margin = 1.0;
        return q.x > low.x + margin && q.x < high.x - margin && q.y > low.y + margin &&
               q.y < high.y - margin && q.z > low.z + margin && q.z < high.z - margin;
    };
    for (double turn = 0.0; turn < 360.0; turn += 7.5)
        for (double pulse : {1.0, 1.2}) {
            // The pulse scales the model about the origin; the eye does not move.
            EXPECT_TRUE(inRoom({0, 0, -35.0 / pulse}, turn)) << turn;
            for (int k = 0; k < 26; k++) {
                double a = k * 2.0 * pi / 26.0, b = (k % 13) * pi / 12.0;
                P edge = {wobbled * std::sin(b) * std::cos(a), wobbled * std::cos(b),
                          wobbled * std::sin(b) * std::sin(a)};
                EXPECT_TRUE(inRoom(edge, turn)) << turn << " " << k;
            }
        }
}

TEST_F(Meshes, InterlockedCubesFaceOutwardOnceMirrored) {
    // Start-up computes the normals and then mirrors the positions; the faces
    // must still point away from the middle, each face flat.
    auto bicube = load(Model::bicube);
    Mesh& mesh = *bicube->meshes[0];
    mesh.scale(0.2f);
    mesh.computeNormals();
    mesh.negate();
    EXPECT_EQ(mesh.triangleCount, 24);
    for (int i = 0; i < mesh.vertexCount; i++) {
        P n = of(mesh.normals[i]), p = of(mesh.vertices[i]);
        // A corner of a cube of half-size 2: its face normal makes the same
        // angle with every corner, cos = 1 / sqrt(3).
        EXPECT_NEAR(dot(n, p) / len(p), 1.0 / std::sqrt(3.0), 1e-4) << i;
    }
}

TEST_F(Meshes, WobbledBallStaysInTheView) {
    auto ball = load(Model::ball);
    Mesh& mesh = *ball->meshes[0];
    mesh.scale(0.15f);
    mesh.computeNormals();
    double largest = 0.0;
    int outward = 0;
    for (int i = 0; i < mesh.vertexCount; i++) {
        largest = std::max(largest, len(of(mesh.vertices[i])));
        outward += dot(of(mesh.normals[i]), of(mesh.vertices[i])) > 0.0;
    }
    EXPECT_EQ(outward, mesh.vertexCount);
    // Worst case: every coordinate four times its rest value and the pulse at
    // its limit (band 0 reads at most 1, so 1.2), turned any way. Seen from 35
    // units under 80 degrees (aspect 1), the farthest point off the view axis
    // must stay inside NDC.
    const double reach = largest * 4.0 * 1.2, focal = 1.0 / std::tan(40.0 * pi / 180.0);
    double worst = 0.0;
    for (double angle = 0.0; angle <= pi; angle += pi / 720.0)
        worst = std::max(worst, reach * std::sin(angle) * focal / (35.0 - reach * std::cos(angle)));
    EXPECT_LT(worst, 1.0);
    // ...and at rest size it still fills a good part of the view.
    EXPECT_GT(largest * 2.25 * focal / 35.0, 0.25);
}

TEST_F(Soundtrack, DecodesToEightySecondsBelowMinusOneDbfs) {
    ASSERT_TRUE(decoded);
    const double seconds = double(mono.size()) / sampleRate;
    EXPECT_NEAR(seconds, songSeconds, 0.05);
    EXPECT_GT(seconds, 78.0);
    EXPECT_LT(seconds, 82.0);
    float peak = 0.0f;
    for (float s : mono)
        peak = std::max(peak, std::fabs(s));
    EXPECT_LE(peak, std::pow(10.0f, -1.0f / 20.0f));
    EXPECT_GT(peak, 0.5f); // normalised, not timid
}

TEST_F(Soundtrack, LowestBandPulsesWithTheKick) {
    ASSERT_TRUE(decoded);
    auto band0 = [&](double start) {
        long at = std::lround(start * sampleRate);
        if (at < 0 || at + spectrumInputSamples > long(mono.size())) return 0.0f;
        float bands[spectrumBands];
        computeSpectrum(&mono[size_t(at)], bands);
        return bands[0];
    };
    const std::vector<double> kicks = kickTimes(composeSong());
    // The scenes that pulse (music 9 to 76 s) get a kick on every beat, except
    // in the break and the half-time bars (25 to 29), where two and a half
    // beats is the longest wait.
    for (size_t k = 1; k < kicks.size(); k++)
        if (kicks[k] > 9.0) {
            const bool halfTime = kicks[k] > barStart(25) && kicks[k] <= barStart(30);
            const double gap = kicks[k] - kicks[k - 1];
            EXPECT_LT(gap, (halfTime ? 2.5 : 1.0) * beatSeconds + 0.01) << kicks[k];
        }
    EXPECT_LT(kicks.front(), 9.0);
    EXPECT_GT(kicks.back(), 75.0);
    for (size_t k = 0; k < kicks.size(); k++) {
        float high = 0.0f;
        for (double t = kicks[k] - 0.01; t < kicks[k] + 0.05; t += 0.0005)
            high = std::max(high, band0(t));
        EXPECT_GT(high, 0.3f) << "kick at " << kicks[k];
        EXPECT_LT(high, 0.65f) << "kick at " << kicks[k];
        if (k + 1 < kicks.size() && kicks[k + 1] - kicks[k] < beatSeconds + 0.01) {
            float between = 0.0f;
            for (double t = kicks[k] + 0.2; t < kicks[k] + 0.28; t += 0.0005)
                between = std::max(between, band0(t));
            EXPECT_LT(between, 0.08f) << "after the kick at " << kicks[k];
        }
    }
}

TEST(Instruments, EveryNoteStartsAndEndsAtRest) {
    // Declicked notes: the first and last samples of every instrument's note
    // are near zero, whatever the note does in between.
    for (int i = 0; i <= int(Instrument::riser); i++) {
        NoteEvent note;
        note.instrument = Instrument(i);
        note.length = 0.3;
        note.note = 57;
        note.gain = 1.0f;
        StereoBuffer out;
        renderNote(note, out);
        ASSERT_GT(out.left.size(), 100u) << i;
        float loudest = 0.0f;
        for (float s : out.left)
            loudest = std::max(loudest, std::fabs(s));
        EXPECT_GT(loudest, 0.01f) << i;
        for (const std::vector<float>* channel : {&out.left, &out.right}) {
            EXPECT_LT(std::fabs(channel->front()), 0.01f) << i;
            EXPECT_LT(std::fabs(channel->back()), 0.01f) << i;
        }
    }
}

// Same bytes on every run: the generator's parts run again in this process
// write exactly the files the build's run wrote.
void expectSameAsBuilt(const std::string& again, const std::vector<const char*>& files) {
    for (const char* file : files) {
        std::vector<char> built = bytesOf(builtData + "/" + file);
        EXPECT_FALSE(built.empty()) << file;
        EXPECT_TRUE(bytesOf(again + "/" + belowDataFolder(file)) == built) << file;
    }
}

TEST_F(Meshes, AnotherRunWritesTheSameBytes) {
    const std::string again = freshFolder("meshes_again");
    ASSERT_TRUE(writeMeshes(again));
    std::vector<const char*> files;
    for (const ObjectFile& file : objectFiles)
        files.push_back(file.path);
    expectSameAsBuilt(again, files);
    std::filesystem::remove_all(again);
}

TEST_F(Soundtrack, AnotherRunWritesTheSameBytes) {
    const std::string again = freshFolder("soundtrack_again");
    ASSERT_TRUE(writeSoundtrack(again));
    expectSameAsBuilt(again, {soundtrackFile});
    std::filesystem::remove_all(again);
}
