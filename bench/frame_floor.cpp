// The floors the scenes' frame rates are measured against, in a window like
// the demo's on the same display: a frame that only clears and swaps; the
// monster scene frame by frame through its window with the bass of each
// moment (the soundtrack heard from the music's start), whole and without its
// ball (the scene leaves the ball out when there is no quadric); and the wobble scene
// as the demo draws it through its window, whole and without each of its two
// big draws. The differences are what each big draw costs.
// Usage: bench_frame_floor [SECONDS] from the folder that holds data/, with a
// display (bench/all runs it under Xvfb). Prints frames per second, the median
// of five stretches.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/timeline.h"
#include "platform/view.h"
#include "platform/window.h"
#include "audio/decode.h"
#include "audio/offline_bands.h"
#include "audio/fft_bands.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"
#include "scenes/scenes.h"

static void clearOnly() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

static std::vector<float> soundtrack;

// The timeline's window that draws routine, and the bass of the moment t in
// a run (none without a soundtrack).
static const SceneWindow& windowOf(void (*routine)()) {
    for (const SceneWindow& window : timeline)
        if (window.routine == routine) return window;
    return timeline[0];
}

static void bassAt(float t) {
    if (!soundtrack.empty())
        offlineSpectrum(soundtrack, double(t) - timelineMusicStart(), demo.spectrum);
}

// The wobble scene at the next 60 fps frame of its window, with the bass of
// the moment (none without a soundtrack).
static int wobbleFrame = 0;
static void wobbleScene() {
    const SceneWindow& window = windowOf(drawWobbleAndGreetings);
    const int frames = int((window.to - window.from) * 60);
    const float t = window.from + float(wobbleFrame++ % frames) / 60.0f;
    bassAt(t);
    setClocks(t);
    drawWobbleAndGreetings();
}

// The monster scene whole at the next 60 fps frame of its window, the same
// way; with no quadric it is drawn without its ball.
static int monsterFrame = 0;
static void monsterScene() {
    const SceneWindow& window = windowOf(drawMonsterIntro);
    const int frames = int((window.to - window.from) * 60);
    const float t = window.from + float(monsterFrame++ % frames) / 60.0f;
    bassAt(t);
    drawFrameAt(t);
}

// Frames per second of draw + swap: the median of five stretches.
static double frameRate(SDL_Window* window, void (*draw)(), double seconds) {
    std::vector<double> rates;
    for (int stretch = 0; stretch < 5; stretch++) {
        const Uint64 start = SDL_GetPerformanceCounter();
        const Uint64 length = Uint64(seconds / 5 * double(SDL_GetPerformanceFrequency()));
        int frames = 0;
        Uint64 now = start;
        while (now - start < length) {
            draw();
            SDL_GL_SwapWindow(window);
            SDL_PumpEvents();
            frames++;
            now = SDL_GetPerformanceCounter();
        }
        rates.push_back(frames / (double(now - start) / double(SDL_GetPerformanceFrequency())));
    }
    std::sort(rates.begin(), rates.end());
    return rates[2];
}

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    SDL_Window* window = createMainWindow("frame floor", DisplayChoice::Window, 640, 480);
    if (!window) return 1;
    loadResources(window);
    if (!demo.sphereQuadric) {
        std::fprintf(stderr, "no quadric\n");
        return 1;
    }
    decodeMonoFile(soundtrackFile, soundtrack);
    std::printf("clear and swap only     %8.1f frames/s\n", frameRate(window, clearOnly, seconds));
    std::printf("monster scene           %8.1f frames/s\n",
                frameRate(window, monsterScene, seconds));
    GLUquadric* const ball = demo.sphereQuadric;
    demo.sphereQuadric = nullptr;
    monsterFrame = 0;
    std::printf("monster scene, no ball  %8.1f frames/s\n",
                frameRate(window, monsterScene, seconds));
    demo.sphereQuadric = ball;
    // An empty container draws nothing: the scene without its ball, then
    // without its box.
    std::printf("wobble scene            %8.1f frames/s\n",
                frameRate(window, wobbleScene, seconds));
    const int32_t ballMeshes = demo.ballModelTextured.meshCount;
    demo.ballModelTextured.meshCount = 0;
    std::printf("wobble scene, no ball   %8.1f frames/s\n",
                frameRate(window, wobbleScene, seconds));
    demo.ballModelTextured.meshCount = ballMeshes;
    const int32_t boxMeshes = demo.cubeModel.meshCount;
    demo.cubeModel.meshCount = 0;
    std::printf("wobble scene, no box    %8.1f frames/s\n",
                frameRate(window, wobbleScene, seconds));
    demo.cubeModel.meshCount = boxMeshes;
    shutdownWindow();
    return 0;
}
