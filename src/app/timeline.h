// The timeline: fade clocks and the scene windows, shared by the live loop
// and the capture tool.
#pragma once

#include <functional>
#include <vector>

// One row of the cue sheet. The window that plays the music opens when it
// starts; the last window opens at the end and asks to quit.
struct SceneWindow {
    float from; // exclusive
    float to;   // exclusive
    bool playMusicFirst;
    void (*routine)();
    const char* name; // what the window shows, for listings
};

constexpr int sceneWindowCount = 8;
extern const SceneWindow timeline[sceneWindowCount];

// The window that asks to play the music, 14-23 s.
const SceneWindow& musicWindow();
// The demo time the music starts at: musicWindow's opening (14 s).
float timelineMusicStart();
// The demo time the run ends at: the opening of the last window, which asks
// to quit (90 s).
float timelineEnd();

// demoTime and the fade clocks for time t.
void setClocks(float t);
// One frame's drawing at demo time t: texturing on, the clocks, then every
// scene window that holds t (strict at both ends). Swaps nothing.
void drawFrameAt(float t);
using PlayRequestHandler = void (*)(unsigned stream);
// Replaces the music play request with a recorder (null restores it), for tests.
void setPlayRequestHandler(PlayRequestHandler handler);
// One live frame at demo time t (the clock's): the spectrum, the frame, the
// bars kept black. The swap is swapFrame's, so a paced loop can wait between.
void renderFrame(float t);
// Waits until the frame drawn is finished (glFinish).
void finishFrame();
// Shows the frame drawn.
void swapFrame();

// Every time at which a scene or an element window opens or closes, in
// order, each once; the end of the last window (never) is left out.
std::vector<float> timelineEdges();

// The frame at t as drawFrameAt draws it, without the music's play request:
// a frame that stands in for one the run draws at another moment.
void drawFrameWithoutPlayAt(float t);
// Draws, without swapping, the frames whose OpenGL state a run that had drawn
// every frame up to time t would have left: the last frame before each scene
// and element window that opens or closes before t, then the last frame
// before t, in order, each once. Every scene clears the buffer first, so the
// state is all that carries over, and all but the last fill one pixel only.
// lastFrameBefore(x) is the demo time of the run's last frame before x
// (negative: none); drawFrame draws the frame at a demo time.
void drawStateFramesBefore(float t, const std::function<float(float)>& lastFrameBefore,
                           const std::function<void(float)>& drawFrame);
// The same for a late start: a live clock may stand at any time, so the last
// frame before x is the float just below it; drawn without the play request.
void drawStateFramesBefore(float t);
