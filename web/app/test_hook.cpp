// The page's test hook: a frame at an exact demo time, drawn as the capture
// tool draws its stills, and read back; and the spectrum that frame uses.
#include <GL/gl.h>
#include <cstdint>
#include <emscripten.h>
#include <vector>

#include "app/next_pass.h"
#include "app/timeline.h"
#include "audio/fft_bands.h"
#include "canvas.h"
#include "gl11.h"
#include "app/grid.h"
#include "platform/view.h"
#include "resources/demo_state.h"
#include "web_music.h"

static void ignorePlay(unsigned) {}

// The hooks draw between runs from the state a new context has, at the
// canvas's size, asking for no music.
static void startHookDrawing() {
    noteCanvasUsed();
    resetStateForNextPass();
    followCanvasSize();
    setPlayRequestHandler(ignorePlay);
}

// The music's play request back, and the canvas black again.
static void endHookDrawing() {
    setPlayRequestHandler(nullptr);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// The frame at demo time t at the canvas's size, with the grid frames before
// it whose state it depends on, as RGB rows from the top; the canvas is black
// again afterwards. Only between runs.
extern "C" EMSCRIPTEN_KEEPALIVE const uint8_t* quarnel_draw_at(double at) {
    static std::vector<uint8_t> rgba, rgb;
    const float t = float(at);
    startHookDrawing();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const auto lastGridTimeBefore = [](float x) {
        const int64_t k = lastGridFrameBefore(x, captureGridFps);
        return k < 0 ? -1.0f : gridTime(k, captureGridFps);
    };
    const auto drawGridFrame = [](float x) {
        spectrumForStill(x, demo.spectrum);
        drawFrameAt(x);
    };
    drawStateFramesBefore(t, lastGridTimeBefore, drawGridFrame);
    spectrumForStill(t, demo.spectrum);
    drawFrameAt(t);
    clearBars();

    int width = 0, height = 0;
    canvasSize(width, height);
    rgba.resize(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    rgb.resize(size_t(width) * size_t(height) * 3);
    for (size_t y = 0; y < size_t(height); y++) {
        const uint8_t* in =
            &rgba[(size_t(height) - 1 - y) * size_t(width) * 4]; // rows run bottom up
        uint8_t* out = &rgb[y * size_t(width) * 3];
        for (int x = 0; x < width; x++, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    endHookDrawing();
    return rgb.data();
}

extern "C" EMSCRIPTEN_KEEPALIVE const float* quarnel_spectrum_at(double t) {
    static float spectrum[spectrumBands];
    spectrumForStill(float(t), spectrum);
    return spectrum;
}

// For the benchmark: draws `count` frames evenly spaced from demo time `from`
// up to `to`, each as a live frame is drawn (the capture's spectrum), and
// waits until the GPU has drawn them all; the milliseconds that took.
extern "C" EMSCRIPTEN_KEEPALIVE double quarnel_time_frames(double from, double to, int count) {
    startHookDrawing();
    uint8_t pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel); // nothing left queued
    const double started = emscripten_get_now();
    for (int i = 0; i < count; i++) {
        const float t = float(from + (to - from) * i / count);
        spectrumForStill(t, demo.spectrum);
        drawFrameAt(t);
        clearBars();
    }
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel); // waits for every frame
    const double took = emscripten_get_now() - started;
    endHookDrawing();
    return took;
}

// For the benchmark: how many WebGL calls the layer has made since loading.
extern "C" EMSCRIPTEN_KEEPALIVE double quarnel_es_calls() {
    return double(gl11EsCalls());
}
