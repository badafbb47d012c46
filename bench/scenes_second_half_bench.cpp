// Frames per second of the scenes from 44 to 90 s at 640 x 480 on the
// offscreen renderer, with flat textures and meshes shaped like the data
// set's (a tube round the view axis, a six-wall room, a ~3000-vertex ball),
// and the CPU cost of one wobble plus its normals.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/timeline.h"
#include "platform/view.h"
#include "platform/headless_gl.h"
#include "resources/demo_state.h"
#include "scenes/scenes.h"
#include "scene_bench.h"
#include "scenes/wobble.h"
#include "test_meshes.h"

namespace {

// The tunnel as the battle opening sees it: radius 3.2 round the world z
// axis, from behind the eye (z = -125) far ahead (z = 1500), carried into the
// model frame that the scene's translate (0, 0, -80) and half turn about
// (-9, 1, 1) put there (the half turn is its own inverse).
Mesh* makeTunnel() {
    Mesh* tube = makeGridMesh(240, 32, 3.2f, true, 1625.0f);
    const double n[3] = {-9.0 / std::sqrt(83.0), 1.0 / std::sqrt(83.0), 1.0 / std::sqrt(83.0)};
    for (int32_t i = 0; i < tube->vertexCount; ++i) {
        Vec3& v = tube->vertices[i];
        const double w[3] = {v.x, v.y, v.z + 687.5 + 80.0};
        const double d = n[0] * w[0] + n[1] * w[1] + n[2] * w[2];
        v = Vec3(float(2 * d * n[0] - w[0]), float(2 * d * n[1] - w[1]),
                 float(2 * d * n[2] - w[2]));
        tube->texCoords[i] = TexCoord{float(i % 33) / 32.0f * 3.0f, float(i / 33)};
    }
    tube->computeNormals();
    return tube;
}

// One wall of the room: an 8 x 8 grid spanning centre +- a +- b.
Mesh* makeWall(Vec3 centre, Vec3 a, Vec3 b) {
    std::vector<Vec3> positions;
    std::vector<Triangle> triangles;
    for (int j = 0; j <= 8; ++j)
        for (int i = 0; i <= 8; ++i) {
            const float u = i / 4.0f - 1.0f, v = j / 4.0f - 1.0f;
            positions.emplace_back(centre.x + u * a.x + v * b.x, centre.y + u * a.y + v * b.y,
                                   centre.z + u * a.z + v * b.z);
        }
    for (uint32_t j = 0; j < 8; ++j)
        for (uint32_t i = 0; i < 8; ++i) {
            const uint32_t p = j * 9 + i;
            triangles.push_back(Triangle{{p, p + 1, p + 10}});
            triangles.push_back(Triangle{{p, p + 10, p + 9}});
        }
    Mesh* wall = makeMesh(positions, triangles);
    wall->computeNormals();
    return wall;
}

// One context, one set of pictures and models for every benchmark.
void prepare() {
    static HeadlessGl gl;
    if (gl.display) return;
    if (!createHeadlessGl(gl, 640, 480)) std::exit(1);
    glEnable(GL_DEPTH_TEST);
    resizeView(640, 480);
    const uint32_t blue = jpegLike(512, 110);

    PngTextures& p = demo.pngTextures;
    p.bakgrunn = pngLike(512, 90, 255);
    for (uint32_t* slot : {&p.clawomon, &p.corvumon, &p.crocomon, &p.teddymon, &p.picamon})
        *slot = pngLike(256, 180, 160);
    for (uint32_t* slot : {&p.vs, &p.loading, &p.lyn, &p.pow, &p.saks, &p.dodge, &p.winner,
                           &p.prall, &p.ulva, &p.blint, &p.movik, &p.vormakalization, &p.ferda,
                           &p.karnholt, &p.ybo, &p.sentiq, &p.vegg})
        *slot = pngLike(256, 200, 128);

    Mesh* tunnel = makeTunnel();
    tunnel->setTexture(blue);
    addMesh(demo.tunnelModel, tunnel);

    const float h = 60.0f; // the room's half-size after the 0.1 scale
    const Vec3 walls[6][3] = {
        {{-h, 0, 0}, {0, h, 0}, {0, 0, h}},  {{h, 0, 0}, {0, -h, 0}, {0, 0, h}},
        {{0, -h, 0}, {-h, 0, 0}, {0, 0, h}}, {{0, h, 0}, {h, 0, 0}, {0, 0, h}},
        {{0, 0, -h}, {h, 0, 0}, {0, h, 0}},  {{0, 0, h}, {h, 0, 0}, {0, -h, 0}}};
    for (const auto& w : walls) {
        Mesh* wall = makeWall(w[0], w[1], w[2]);
        wall->setTexture(p.vegg);
        addMesh(demo.cubeModel, wall);
    }

    // The ball: radius 30 scaled by 0.15, 49 x 61 = 2989 vertices.
    addMesh(demo.ballModelPlain, makeGridMesh(48, 60, 4.5f, false));
    Mesh* ball = makeGridMesh(48, 60, 4.5f, false);
    ball->setTexture(blue);
    addMesh(demo.ballModelTextured, ball);
}

// One scene at a fixed moment, with some bass; the scene before it runs once
// first so that the inherited projection is right.
void runScene(benchmark::State& state, void (*before)(), float beforeAt, void (*scene)(), float t) {
    prepare();
    demo.spectrum[0] = 0.25f;
    setClocks(beforeAt);
    before();
    timeSceneFrames(state, scene, t);
}

// 50 s: the tunnel, both portraits, the vs picture, the loading picture.
void BattleOpening(benchmark::State& state) {
    runScene(state, drawBattleOpening, 50.0f, drawBattleOpening, 50.0f);
}
// 59.5 s: the busiest battle frame, background, two monsters, four attacks.
void AttacksBattleSet(benchmark::State& state) {
    runScene(state, drawBattleOpening, 54.9f, drawAttacksAndCredits, 59.5f);
}
// 70 s: the room, the wobbled ball as lines, five pictures.
void WobbleAndGreetings(benchmark::State& state) {
    runScene(state, drawWobbleAndGreetings, 70.0f, drawWobbleAndGreetings, 70.0f);
}
// The same frame without its ball: what the room and the pictures cost.
void WobbleWithoutBall(benchmark::State& state) {
    prepare();
    Mesh* ball = demo.ballModelTextured.meshes[0];
    demo.ballModelTextured.meshes.clear();
    demo.ballModelTextured.meshCount = 0;
    runScene(state, drawWobbleAndGreetings, 70.0f, drawWobbleAndGreetings, 70.0f);
    addMesh(demo.ballModelTextured, ball);
}
// 85 s: background and the seven credit pictures.
void AttacksCreditsSet(benchmark::State& state) {
    runScene(state, drawWobbleAndGreetings, 79.9f, drawAttacksAndCredits, 85.0f);
}

// The CPU part of a wobble frame: the wobble and the normals of the ball.
void WobbleAndNormalsOnly(benchmark::State& state) {
    Mesh* rest = makeGridMesh(48, 60, 4.5f, false);
    Mesh* ball = makeGridMesh(48, 60, 4.5f, false);
    float t = 65.0f;
    for (auto _ : state) {
        wobbleBall(*rest, *ball, t);
        ball->computeNormals();
        benchmark::DoNotOptimize(ball->normals[0]);
        t += 0.016f;
    }
    state.counters["vertices"] = ball->vertexCount;
    delete rest;
    delete ball;
}

} // namespace

BENCHMARK(BattleOpening)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(AttacksBattleSet)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WobbleAndGreetings)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WobbleWithoutBall)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(AttacksCreditsSet)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WobbleAndNormalsOnly)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
