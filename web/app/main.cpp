// The demo in a web page: everything loads before the page's prompt, then each
// click plays one run, a frame on each of the browser's animation frames,
// until Escape or the end sends the page back to its prompt.
#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <emscripten.h>
#include <string>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "app/next_pass.h"
#include "app/timeline.h"
#include "app/warm_up.h"
#include "audio/music.h"
#include "canvas.h"
#include "page.h"
#include "platform/message_box.h"
#include "platform/quit.h"
#include "resources/data_files.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"
#include "run_clock.h"

static bool running = false;

static void endRun() {
    emscripten_cancel_main_loop();
    closeAudio();
    demo.musicStream = 0;
    running = false;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    pageRunEnded();
}

static void frame() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == quitEventType()) return endRun();
    followCanvasSize();
    warmUpBeforeFrame();
    renderFrame(float(nextFrameTime()));
}

// Starts a run at demo time `from` (0: the whole demo), as the native demo
// starts with --from: the state the frames before it leave, the music
// placed, the clock set.
extern "C" EMSCRIPTEN_KEEPALIVE void quarnel_start(double from) {
    if (running) return;
    if (canvasUsed()) resetStateForNextPass();
    noteCanvasUsed();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); // a quit left from an earlier run
    followCanvasSize();
    demo.musicStream = openAudioDevice() ? createMusicStream(soundtrackFile) : 0;
    if (from > 0.0) {
        drawStateFramesBefore(float(from));
        startMusicAt(from);
    }
    startRunClock(from);
    demo.frameTimer.restartAt(from);
    running = true;
    emscripten_set_main_loop(frame, 0, 0);
}

// Escape, or the viewer leaving full screen: the run ends as Escape ends it
// on the desktop.
extern "C" EMSCRIPTEN_KEEPALIVE void quarnel_stop() {
    if (running) postQuitMessage(0);
}

// The address's ?from=SECONDS, read as the demo reads --from: null with the
// seconds set, or the one-line reason it cannot be used.
extern "C" EMSCRIPTEN_KEEPALIVE const char* quarnel_read_from(const char* text, double* seconds) {
    static std::string error;
    error.clear();
    return readFromOption(text, *seconds, error) ? nullptr : error.c_str();
}

// A box has nobody to answer it in a page: the text goes to the console.
static void printMessage(const char* text, const char* caption, SDL_Window*) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

int main() {
    setMessageBoxHandler(printMessage);
    if (!pageDataComplete()) return 1;
    // Only the quit request travels through SDL's queue; the page has the keys.
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "quarnel: %s\n", SDL_GetError());
        return 1;
    }
    if (!createCanvasContext()) {
        pageHasNoWebGl();
        return 0;
    }
    int width = 0, height = 0;
    canvasSize(width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    initContextState(width, height);
    loadTexturesAndModels();
    pageLoaded();
    return 0;
}
