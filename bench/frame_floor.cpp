// The floors the scenes' frame rates are measured against, in a window like
// the demo's on the same display: a frame that only clears and swaps, and a
// frame that only draws the monster scene's ball (a textured 128 x 128
// gluSphere, blended and depth-tested as that scene draws it), once at rest
// size and once tumbling and swelling with the bass frame by frame through
// the scene's 23-44 s as it does there (the soundtrack heard from 14 s).
// Beside them, the monster scene whole, frame by frame through its 23-44 s,
// and the wobble scene as the demo draws it through its 65-80 s,
// whole and without each of its two big draws, to show what each costs.
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
static bool swelling = false;
static int ballFrame = 0;

// The monster scene's ball with nothing else on screen: at a fixed moment and
// rest size, or (swelling) at the next 60 fps frame of the scene's window.
static void ballOnly() {
    float t = 30.0f, s = 1.0f;
    if (swelling) {
        t = 23.0f + float(ballFrame++ % (21 * 60)) / 60.0f;
        float spectrum[spectrumBands];
        offlineSpectrum(soundtrack, double(t) - 14.0, spectrum);
        s = spectrum[0] + spectrum[0] + 1.0f;
    }
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(-3.5f, -2.5f, -14.0f);
    glRotatef(t * 60.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(t * 30.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(t * 60.0f, 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, demo.pngTextures.pokeball);
    glScalef(s, s, s);
    gluSphere(demo.sphereQuadric, double(1.3f), 128, 128);
}

// The wobble scene at the next 60 fps frame of its window, with the bass of
// the moment (none without a soundtrack).
static int wobbleFrame = 0;
static void wobbleScene() {
    const float t = 65.0f + float(wobbleFrame++ % (15 * 60)) / 60.0f;
    if (!soundtrack.empty()) offlineSpectrum(soundtrack, double(t) - 14.0, demo.spectrum);
    setClocks(t);
    drawWobbleAndGreetings();
}

// The monster scene whole at the next 60 fps frame of its window, the same
// way, to set beside its ball alone.
static int monsterFrame = 0;
static void monsterScene() {
    const float t = 23.0f + float(monsterFrame++ % (21 * 60)) / 60.0f;
    if (!soundtrack.empty()) offlineSpectrum(soundtrack, double(t) - 14.0, demo.spectrum);
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
    SDL_Window* window = createMainWindow("frame floor", 640, 480, false);
    if (!window) return 1;
    loadResources(window);
    if (!demo.sphereQuadric || !demo.pngTextures.pokeball) {
        std::fprintf(stderr, "no quadric or no ball texture\n");
        return 1;
    }
    std::printf("clear and swap only     %8.1f frames/s\n", frameRate(window, clearOnly, seconds));
    std::printf("monster ball only       %8.1f frames/s\n", frameRate(window, ballOnly, seconds));
    if (decodeMonoFile("data/sound/pokemon.mp3", soundtrack)) {
        swelling = true;
        std::printf("monster ball, swelling  %8.1f frames/s\n",
                    frameRate(window, ballOnly, seconds));
    }
    std::printf("monster scene           %8.1f frames/s\n",
                frameRate(window, monsterScene, seconds));
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
