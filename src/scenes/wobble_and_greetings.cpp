// The wobbling ball and greetings (65-80 s): a turning box, a spinning ball
// bent afresh every frame and drawn as blended lines, five still pictures.
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "resources/demo_state.h"
#include "scenes/unit_plate.h"
#include "scenes/wobble.h"

// The container's first mesh, or null when it has none (a missing or broken
// object file leaves the container empty).
static Mesh* firstMesh(const tegn3d& model) {
    if (model.meshCount < 1 || model.meshes.empty()) return nullptr;
    return model.meshes[0];
}

// True when blending, as it is set now, writes every fragment of mesh
// unchanged: source-alpha blending of fragments whose alpha is exactly 1
// (unlit, an opaque current colour, a texture without alpha). The source
// then comes out whole and the destination not at all.
static bool blendKeepsSource(const Mesh& mesh) {
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    if (source != GL_SRC_ALPHA || destination != GL_ONE_MINUS_SRC_ALPHA) return false;
    if (glIsEnabled(GL_LIGHTING)) return false;
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (colour[3] != 1.0f) return false;
    if (!glIsEnabled(GL_TEXTURE_2D)) return true;
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, mesh.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format == 3 || format == GL_RGB || format == GL_RGB8 || format == GL_LUMINANCE;
}

// Draws every mesh of model in the state as it stands, except that blending
// is left off for a mesh it could not change (the same pixels for less
// work: the ball's thousands of lines and the walls filling the window are
// the frame's costliest draws). The blend state is as it was afterwards.
static void drawSkippingIdleBlending(const tegn3d& model) {
    const bool blending = glIsEnabled(GL_BLEND);
    for (int32_t i = 0; i < model.meshCount && size_t(i) < model.meshes.size(); i++) {
        const Mesh& mesh = *model.meshes[i];
        const bool idle = blending && blendKeepsSource(mesh);
        if (idle) glDisable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, mesh.texture);
        mesh.draw();
        if (idle) glEnable(GL_BLEND);
    }
}

void drawWobbleAndGreetings() {
    const float t = demo.demoTime;
    const PngTextures& pic = demo.pngTextures;

    // 80 degrees at aspect 1; the credits after 80 s draw under it too. The
    // camera looks along +z at the ball, 35 units away.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, 1.0, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, -35.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    // The box and the ball swell with the bass, about the world origin.
    const float s = demo.spectrum[0] * 0.2f + 1.0f;
    glScalef(s, s, s);

    // The box turns about the vertical through a centre two units above the
    // eye. It is drawn before any state is set: it inherits the previous
    // frame's blending, depth test and polygon mode.
    glPushMatrix();
    glTranslatef(0.0f, 2.0f, -35.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(t * 10.0f, 0.0f, 0.0f, -1.0f);
    drawSkippingIdleBlending(demo.cubeModel);
    glPopMatrix();

    // The ball spins about two axes and is bent afresh from its rest shape,
    // then drawn as blended lines. Without both meshes there is no ball.
    Mesh* rest = firstMesh(demo.ballModelPlain);
    Mesh* ball = firstMesh(demo.ballModelTextured);
    glPushMatrix();
    glRotatef(t * 50.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(t * 45.0f, 1.0f, 0.0f, 0.0f);
    if (rest && ball) {
        wobbleBall(*rest, *ball, t);
        ball->computeNormals();
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (rest && ball) drawSkippingIdleBlending(demo.ballModelTextured);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPopMatrix();

    // The pictures stand in eye space, neither under the camera nor pulsing.
    beginPicture();
    glPushMatrix();
    glTranslatef(1.5f, -2.0f, -4.0f);
    glBindTexture(GL_TEXTURE_2D, pic.vormakalization);
    drawUnitPlate();
    glPopMatrix();

    // The greetings: upper left, right, left, lower left.
    drawBlendedPicture(pic.ferda, -2.0f, 2.0f, -5.0f);
    drawBlendedPicture(pic.karnholt, 2.5f, 1.0f, -5.0f);
    drawBlendedPicture(pic.ybo, -2.5f, 1.0f, -5.0f);
    drawBlendedPicture(pic.sentiq, -2.5f, -1.0f, -5.0f);
}
