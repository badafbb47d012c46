#include "app/timeline.h"

#include <GL/gl.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <vector>
#include <limits>

#include "platform/view.h"
#include "platform/window.h"
#include "audio/music.h"
#include "platform/quit.h"
#include "resources/demo_state.h"
#include "scenes/element_times.h"
#include "scenes/scenes.h"

static void requestQuit() {
    postQuitMessage(0);
}

static PlayRequestHandler playRequestHandler = nullptr;

void setPlayRequestHandler(PlayRequestHandler handler) {
    playRequestHandler = handler;
}

static void requestPlay() {
    if (playRequestHandler)
        playRequestHandler(demo.musicStream);
    else
        playMusic(demo.musicStream);
}

// Every frame after 90 s asks to quit, however far the clock has jumped.
const SceneWindow timeline[sceneWindowCount] = {
    {0, 14, false, drawIntroSlides, "intro slides"},
    {14, 23, true, drawGlidingOverlay, "gliding overlay"},
    {23, 44, false, drawMonsterIntro, "monster introduction"},
    {44, 55, false, drawBattleOpening, "battle opening"},
    {55, 65, false, drawAttacksAndCredits, "attacks"},
    {65, 80, false, drawWobbleAndGreetings, "wobble and greetings"},
    {80, 90, false, drawAttacksAndCredits, "credits"},
    {90, std::numeric_limits<float>::infinity(), false, requestQuit, "end"},
};

const SceneWindow& musicWindow() {
    for (const SceneWindow& window : timeline)
        if (window.playMusicFirst) return window;
    return timeline[sceneWindowCount - 1]; // unreachable: one window plays it
}

float timelineMusicStart() {
    return musicWindow().from;
}

float timelineEnd() {
    return timeline[sceneWindowCount - 1].from;
}

void setClocks(float t) {
    demo.demoTime = t;
    demo.fade1 = t - 1.0f;
    demo.fade4 = t - 4.0f;
    demo.fade8 = t - 8.0f;
    // Each runs from where its scene or element opens and holds at 4.
    demo.fade14 = std::min(t - timelineMusicStart(), 4.0f);
    demo.fade23 = std::min(t - clawSet.from, 4.0f);
    demo.fade34 = std::min(t - corvSet.from, 4.0f);
    demo.fade55 = std::min(t - battleEnd.from, 4.0f);
}

void drawFrameAt(float t) {
    glEnable(GL_TEXTURE_2D);
    setClocks(t);
    // Each window is tested on its own; they do not overlap.
    for (const SceneWindow& window : timeline) {
        if (window.from < t && t < window.to) {
            if (window.playMusicFirst) requestPlay();
            window.routine();
        }
    }
}

void renderFrame(float t) {
    fetchSpectrum(demo.musicStream, demo.spectrum);
    drawFrameAt(t);
    clearBars();
}

void finishFrame() {
    glFinish();
}

void swapFrame() {
    SDL_GL_SwapWindow(mainWindowHandle());
}

std::vector<float> timelineEdges() {
    std::vector<float> edges;
    for (const ElementWindow& window : elementWindows) {
        edges.push_back(window.from);
        edges.push_back(window.to);
    }
    for (const SceneWindow& window : timeline) {
        edges.push_back(window.from);
        if (std::isfinite(window.to)) edges.push_back(window.to);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

static void ignorePlayRequest(unsigned) {}

void drawFrameWithoutPlayAt(float t) {
    const PlayRequestHandler handler = playRequestHandler;
    playRequestHandler = ignorePlayRequest;
    drawFrameAt(t);
    playRequestHandler = handler;
}

void drawStateFramesBefore(float t, const std::function<float(float)>& lastFrameBefore,
                           const std::function<void(float)>& drawFrame) {
    std::vector<float> times;
    for (float edge : timelineEdges())
        if (edge > 0.0f && edge < t) times.push_back(lastFrameBefore(edge));
    if (t > 0.0f) times.push_back(lastFrameBefore(t));
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    times.erase(times.begin(), std::lower_bound(times.begin(), times.end(), 0.0f));
    if (times.empty()) return;
    // Only the last frame's pixels can be seen (a frame exactly on an edge
    // draws nothing and shows them again): the others fill one pixel. No
    // scene sets the viewport, so putting it back restores everything.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(viewport[0], viewport[1], 1, 1);
    for (size_t i = 0; i + 1 < times.size(); i++)
        drawFrame(times[i]);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    drawFrame(times.back());
}

void drawStateFramesBefore(float t) {
    // The frames stand in for ones already drawn: the music is not theirs to start.
    drawStateFramesBefore(
        t, [](float x) { return std::nextafter(x, 0.0f); }, drawFrameWithoutPlayAt);
}
