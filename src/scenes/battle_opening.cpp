// The battle opening (44-55 s): the two monsters face each other in front of
// a tunnel whose texture scrolls, the vs picture pulsing with the bass.
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "resources/demo_state.h"
#include "scenes/unit_plate.h"

void drawBattleOpening() {
    const float t = demo.demoTime;
    const PngTextures& pic = demo.pngTextures;

    // The scene's own projection: 45 degrees at aspect 1, so the 4:3 window
    // stretches it sideways. The scenes after this one draw under it too.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gluPerspective(45.0, 1.0, 1.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, -85.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    // The tunnel, 5 units in front of the eye, its texture scrolling without
    // end; the texture matrix is pushed so that only the tunnel scrolls.
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glTranslatef(t * 0.08f, t * 0.4f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.0f, 0.0f, -80.0f);
    glRotatef(180.0f, -9.0f, 1.0f, 1.0f);
    demo.tunnelModel.drawAll();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // The pictures stand in eye space, not under the camera. The left portrait
    // keeps the depth test, so nearer tunnel walls cover parts of it.
    beginPicture();
    glTranslatef(-1.5f, 0.0f, -8.0f);
    glBindTexture(GL_TEXTURE_2D, pic.clawomon);
    drawUnitPlate();
    glDisable(GL_DEPTH_TEST);

    // The vs picture pulses with the bass: it grows and comes nearer together.
    const float s = demo.spectrum[0] * 1.2f + 1.0f;
    beginPicture();
    glTranslatef(0.0f, 0.0f, -8.0f);
    glScalef(s, s, s);
    glBindTexture(GL_TEXTURE_2D, pic.vs);
    drawUnitPlate();

    // The right portrait.
    drawBlendedPicture(pic.corvumon, 1.5f, 0.0f, -8.0f);

    // The loading picture in the lower right corner, its bottom edge just
    // below the view.
    beginPicture();
    glDisable(GL_LIGHTING);
    glTranslatef(1.6f, -2.0f, -8.0f);
    glBindTexture(GL_TEXTURE_2D, pic.loading);
    drawUnitPlate();
}
