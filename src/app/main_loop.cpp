#include "app/main_loop.h"

#include <SDL.h>
#include <cstdio>

#include "app/next_pass.h"
#include "app/timeline.h"
#include "platform/window.h"
#include "audio/music.h"
#include "platform/held_stderr.h"
#include "platform/quit.h"
#include "resources/demo_state.h"
#include "app/warm_up.h"
#include "platform/frame_pacer.h"

// Asks for swaps on the vertical blank, or for none with vsync false, and
// readies the pacing for where the swaps turn out not to wait.
static FramePacer startPacing(bool vsync) {
    requestSwapInterval(vsync);
    return makeFramePacer(displayRefreshRate(), vsync);
}

// The run starts again from 0 at the end: the state the last pass left goes,
// the music goes back to its beginning for its play request. A soundtrack
// that cannot go back would play out of step: the run goes on without it.
static void startNextPass() {
    resetStateForNextPass();
    if (demo.musicStream != 0 && !rewindMusic(demo.musicStream)) {
        std::fputs("quarnel: the soundtrack cannot start again: playing without music\n", stderr);
        demo.musicStream = 0;
    }
    demo.frameTimer.restartAt(0.0);
}

static int loop(bool vsync, bool looping) {
    FramePacer pacer = startPacing(vsync);
    int exitCode = 0;
    for (;;) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if (event.type == quitEventType()) {
                exitCode = event.user.code;
                break;
            }
            windowProc(event);
            // The window may have moved to a screen of another rate, or
            // its screen changed mode.
            if (event.type == SDL_WINDOWEVENT || event.type == SDL_DISPLAYEVENT)
                followRefreshRate(pacer, displayRefreshRate());
        } else {
            // The warm-up's frames are not paced: the screen stays black,
            // and the warm-up has to end before the first slide.
            const bool paced = !warmUpBeforeFrame();
            // One reading of the clock decides both whether the run starts
            // again and the frame's time, so no frame past the end asks to quit.
            float t = demo.frameTimer.elapsedSeconds();
            if (looping && t >= timelineEnd()) {
                startNextPass();
                t = demo.frameTimer.elapsedSeconds();
            }
            renderFrame(t);
            // The frame is finished before its swap is timed: a software
            // renderer draws inside the swap otherwise, and the call would
            // last as long as the drawing, not as long as the swap waited.
            if (vsync) finishFrame();
            // The wait comes between drawing and the swap, as a swap that waits
            // for the vertical blank does: a frame that draws slower than the
            // one before still goes out on time while it takes under a period.
            if (paced) waitForFrame(pacer);
            const double call = steadySeconds();
            swapFrame();
            noteSwap(pacer, {call, steadySeconds()});
            finishFullScreen();
        }
    }
    shutdownWindow();
    closeAudio();
    return exitCode;
}

// SDL's audio drivers print their search for a device (ALSA with no sound
// card some ten lines): shown if a device opens, replaced by one line if none does.
static void openMusic() {
    HeldStderr probing;
    const bool found = openAudioDevice();
    probing.release(found);
    if (!found)
        std::fputs("quarnel: no sound device found: the demo plays without sound\n", stderr);
    demo.musicStream = createMusicStream(soundtrackFile);
}

int runMainLoop(bool vsync, bool looping) {
    openMusic();
    return loop(vsync, looping);
}

static MusicSeek musicSeek = playMusicFrom;

void setMusicSeek(MusicSeek seek) {
    musicSeek = seek ? seek : playMusicFrom;
}

void startMusicAt(double from) {
    // The music starts with the first frame after its window opens.
    const double musicStart = timelineMusicStart();
    if (from <= musicStart || demo.musicStream == 0) return;
    const double into = from - musicStart;
    if (musicSeek(demo.musicStream, into)) return;
    // Left open, the stream would start from its beginning at the next play
    // request, out of step with the picture: the run goes on without it.
    std::fprintf(stderr, "quarnel: the soundtrack cannot start %.3g s in: playing without music\n",
                 into);
    demo.musicStream = 0;
}

int runMainLoopFrom(double from, bool vsync, bool looping) {
    openMusic();
    drawStateFramesBefore(float(from));
    startMusicAt(from);
    demo.frameTimer.restartAt(from);
    return loop(vsync, looping);
}
