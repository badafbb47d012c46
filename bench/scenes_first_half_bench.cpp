// Frames per second of the first three scenes at 640 x 480 on the offscreen
// renderer, with flat textures of the pictures' real sizes, and the monster
// scene split into its pictures and its ball to show which one bounds it.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/timeline.h"
#include "platform/headless_gl.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"
#include "scenes/scenes.h"
#include "scene_bench.h"

namespace {

// One context and one set of pictures for every benchmark; the context's
// first state and the quadric as every context of the demo gets them.
GLUquadric* ballQuadric = nullptr;
void prepare() {
    static HeadlessGl gl;
    if (gl.display) return;
    if (!createHeadlessGl(gl, 640, 480)) std::exit(1);
    initContextState(640, 480);
    ballQuadric = demo.sphereQuadric;
    demo.jpegTextures[0] = jpegLike(512, 120);
    demo.jpegTextures[1] = jpegLike(256, 90);
    for (int slot = 4; slot < 7; ++slot)
        demo.jpegTextures[slot] = jpegLike(512, 150);
    PngTextures& p = demo.pngTextures;
    p.starring = pngLike(256, 200, 255);
    for (uint32_t* slot :
         {&p.clawomon, &p.clawtekst, &p.clawskills, &p.corvumon, &p.corvtekst, &p.corvskills})
        *slot = pngLike(256, 180, 160);
    p.pokeball = pngLike(256, 220, 255);
}

// One scene at a fixed moment, with some bass.
void runScene(benchmark::State& state, void (*scene)(), float t) {
    prepare();
    demo.spectrum[0] = 0.25f;
    timeSceneFrames(state, scene, t);
}

// slide 1 over the cleared screen
void IntroSlides(benchmark::State& state) {
    runScene(state, drawIntroSlides, 3.0f);
}
// both pictures, the overlay at rest
void GlidingOverlay(benchmark::State& state) {
    runScene(state, drawGlidingOverlay, 20.0f);
}
// 34.5 s: the busiest moment, both sets drawn, claw set at rest
void MonsterIntro(benchmark::State& state) {
    runScene(state, drawMonsterIntro, 34.5f);
}

// The same frame without its ball: what the pictures alone cost.
void MonsterIntroWithoutBall(benchmark::State& state) {
    prepare();
    demo.sphereQuadric = nullptr;
    runScene(state, drawMonsterIntro, 34.5f);
    demo.sphereQuadric = ballQuadric;
}

} // namespace

BENCHMARK(IntroSlides)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GlidingOverlay)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MonsterIntro)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MonsterIntroWithoutBall)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
