// Offscreen rendering of the demo's frames for the capture tool.
#include "render.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstdio>

#include "app/timeline.h"
#include "platform/view.h"
#include "audio/decode.h"
#include "audio/offline_bands.h"
#include "audio/fft_bands.h"
#include "app/grid.h"
#include "platform/message_box.h"
#include "platform/quit.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"

// No window may open, even where a display exists: the text is the message.
static void printMessage(const char* text, const char* caption, SDL_Window*) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

// Nothing is played and nothing quits: the capture decides which frames to draw.
static void ignoreQuit(int) {}
static void ignorePlay(unsigned) {}

bool openCapture(CaptureContext& capture, int width, int height, int fps) {
    setMessageBoxHandler(printMessage);
    setQuitHandler(ignoreQuit);
    setPlayRequestHandler(ignorePlay);
    if (!createHeadlessGl(capture.gl, width, height)) return false;
    GLint maxViewport[2] = {};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (width > maxViewport[0] || height > maxViewport[1]) {
        std::fprintf(stderr, "%dx%d is larger than this OpenGL can draw (%dx%d)\n", width, height,
                     maxViewport[0], maxViewport[1]);
        return false;
    }
    capture.width = width;
    capture.height = height;
    capture.fps = fps;

    // A black buffer and the state the demo's context starts with: the
    // picture in its 4:3 rectangle, black bars around it where the frame is
    // not 4:3.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    initContextState(width, height);
    loadTexturesAndModels();

    capture.musicStart = musicStartTime(fps);
    capture.hasSoundtrack = decodeMonoFile(soundtrackFile, capture.soundtrack);
    if (!capture.hasSoundtrack)
        std::fprintf(stderr, "No soundtrack in %s: rendering a silent run\n", soundtrackFile);
    return true;
}

void spectrumAt(const CaptureContext& capture, float t, float* spectrum) {
    if (!capture.hasSoundtrack || capture.musicStart < 0.0f) {
        std::fill(spectrum, spectrum + spectrumBands, 0.0f);
        return;
    }
    offlineSpectrum(capture.soundtrack, double(t) - double(capture.musicStart), spectrum);
}

void drawCaptureFrame(const CaptureContext& capture, float t) {
    spectrumAt(capture, t, demo.spectrum);
    drawFrameAt(t);
    clearBars(); // as the live loop does after every frame
}

void drawFrameWithHistory(const CaptureContext& capture, float t) {
    const int fps = capture.fps;
    const auto lastGridTimeBefore = [fps](float x) {
        const int64_t k = lastGridFrameBefore(x, fps);
        return k < 0 ? -1.0f : gridTime(k, fps);
    };
    // Each with the spectrum it had on the grid, which the bass-driven state depends on.
    const auto drawGridFrame = [&capture](float x) {
        spectrumAt(capture, x, demo.spectrum);
        drawFrameAt(x);
    };
    drawStateFramesBefore(t, lastGridTimeBefore, drawGridFrame);
    drawCaptureFrame(capture, t);
}

void readFrame(const CaptureContext& capture, std::vector<uint8_t>& rgb) {
    // BGRA is the pbuffer's own layout and reads back without conversion;
    // turning it into top-down RGB here is cheaper than OpenGL's RGB path.
    const size_t width = size_t(capture.width), height = size_t(capture.height);
    std::vector<uint8_t>& bgra = capture.readBuffer;
    bgra.resize(width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, capture.width, capture.height, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    rgb.resize(width * height * 3);
    for (size_t y = 0; y < height; y++) {
        // OpenGL's rows run bottom up.
        const uint8_t* in = &bgra[(height - 1 - y) * width * 4];
        uint8_t* out = &rgb[y * width * 3];
        for (size_t x = 0; x < width; x++, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}
