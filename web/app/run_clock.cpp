#include "run_clock.h"

#include <algorithm>
#include <cmath>
#include <emscripten.h>

#include "app/timeline.h"
#include "audio/music.h"
#include "page.h"
#include "resources/demo_state.h"
#include "web_music.h"

// A soundtrack heard anew within a frame of the picture is followed as it is;
// farther off, it starts again where the picture is.
constexpr double oneFrame = 1.0 / 60.0;

struct RunClock {
    double steady = 0.0;    // the steady clock at the latest frame, in seconds
    double demo = 0.0;      // the latest frame's demo time
    bool onTrack = false;   // the latest frame followed the soundtrack
    bool restarted = false; // the soundtrack started again to meet the picture
    double audio = 0.0;     // the audio output's clock at the latest frame
};

static RunClock runClock;

static double steadySeconds() {
    return emscripten_get_now() / 1000.0;
}

void startRunClock(double from) {
    runClock = RunClock{steadySeconds(), from};
}

// The demo time the soundtrack says, or the steady one `t` where it says nothing.
static double followTrack(RunClock& c, double t) {
    const double musicStart = timelineMusicStart();
    if (t > musicStart && t < timelineEnd() && !musicStarted())
        playMusicFrom(demo.musicStream, t - musicStart);
    const double heard = pageHeardSeconds();
    const bool onTrack = heard >= 0.0;
    if (onTrack && !c.onTrack && !c.restarted && std::abs(musicStart + heard - t) > oneFrame) {
        playMusicFrom(demo.musicStream, t - musicStart);
        c.restarted = true;
        return t;
    }
    c.onTrack = onTrack;
    if (!onTrack) return t;
    c.restarted = false;
    return musicStart + heard;
}

double nextFrameTime() {
    RunClock& c = runClock;
    const double now = steadySeconds();
    double t = c.demo + (now - c.steady);
    if (demo.musicStream != 0) t = followTrack(c, t);
    c.demo = std::max(c.demo, t);
    c.steady = now;
    c.audio = pageAudioClock();
    return c.demo;
}

double latestFrameTime() {
    return runClock.demo;
}

// The latest frame's demo time, the audio output's clock and the steady
// clock (in milliseconds, as the page's performance.now()) when it was drawn.
extern "C" EMSCRIPTEN_KEEPALIVE double quarnel_clock_demo() {
    return runClock.demo;
}
extern "C" EMSCRIPTEN_KEEPALIVE double quarnel_clock_audio() {
    return runClock.audio;
}
extern "C" EMSCRIPTEN_KEEPALIVE double quarnel_clock_at() {
    return runClock.steady * 1000.0;
}
