#include "app/warm_up.h"

#include <GL/gl.h>
#include <algorithm>
#include <vector>

#include "app/timeline.h"
#include "resources/demo_state.h"

// One moment in the middle of every stretch between two edges of the scene
// and element windows, from the first edge after 0 s up to the end: every scene with every set of
// its elements. A moment is drawn as the timeline draws it, without the music's play request.
static const std::vector<float>& moments() {
    static const std::vector<float> middles = [] {
        const std::vector<float> edges = timelineEdges();
        std::vector<float> list;
        // The stretch from 0 s is the black opening the warm-up is drawn in.
        for (size_t i = 1; i < edges.size(); i++)
            if (edges[i - 1] > 0.0f) list.push_back((edges[i - 1] + edges[i]) / 2.0f);
        return list;
    }();
    return middles;
}

// The last demo time a piece may start at: the first slide fades in at 2 s,
// and a piece takes a few milliseconds, more on a busy machine.
constexpr float lastStart = 1.5f;

// The scene window that holds t, or null.
static const SceneWindow* sceneAt(float t) {
    for (const SceneWindow& window : timeline)
        if (window.from < t && t < window.to) return &window;
    return nullptr;
}

int warmUpPieceCount() {
    return int(moments().size());
}

void drawWarmUpPiece(int piece) {
    const std::vector<float>& at = moments();
    if (piece < 0 || piece >= int(at.size())) return;
    // Every attribute, client attribute and matrix the scenes touch, and the
    // clocks they read, come back as they were. The matrices are copied out,
    // not pushed: OpenGL 1.1 promises only two levels of the projection and
    // texture stacks, and the scenes push those themselves.
    const float clock = demo.demoTime;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    const GLenum modes[3] = {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW};
    const GLenum reads[3] = {GL_PROJECTION_MATRIX, GL_TEXTURE_MATRIX, GL_MODELVIEW_MATRIX};
    GLfloat matrices[3][16] = {};
    for (int i = 0; i < 3; i++)
        glGetFloatv(reads[i], matrices[i]);
    // A quarter of the picture's width and height: the programs llvmpipe
    // builds do not depend on the viewport, and a sixteenth of the pixels
    // keeps each piece's frame short.
    GLint view[4] = {};
    glGetIntegerv(GL_VIEWPORT, view);
    glViewport(view[0], view[1], std::max(1, view[2] / 4), std::max(1, view[3] / 4));
    // A scene's first frame inherits what the scene before it left.
    if (piece > 0 && sceneAt(at[size_t(piece) - 1]) != sceneAt(at[size_t(piece)]))
        drawFrameWithoutPlayAt(at[size_t(piece) - 1]);
    drawFrameWithoutPlayAt(at[size_t(piece)]);
    for (int i = 0; i < 3; i++) {
        glMatrixMode(modes[i]);
        glLoadMatrixf(matrices[i]);
    }
    glPopClientAttrib();
    glPopAttrib(); // the matrix mode too
    setClocks(clock);
}

bool warmUpBeforeFrame() {
    // The first frame goes out untouched: start-up ends with its swap.
    static bool firstFrame = true;
    static int next = 0;
    if (firstFrame) {
        firstFrame = false;
        return false;
    }
    if (next >= warmUpPieceCount()) return false;
    if (demo.frameTimer.elapsedSeconds() >= lastStart) {
        next = warmUpPieceCount(); // too late: the rest is left to the scenes themselves
        return false;
    }
    drawWarmUpPiece(next++);
    return true;
}
