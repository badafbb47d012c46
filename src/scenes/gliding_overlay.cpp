// The picture the music starts under: a background picture with a smaller
// picture added on top that glides to the lower right for four seconds, then holds.
#include "scenes/scenes.h"

#include <GL/gl.h>

#include "resources/demo_state.h"
#include "scenes/unit_plate.h"

void drawGlidingOverlay() {
    glEnable(GL_TEXTURE_2D);
    // Additive for the whole scene: the overlay brightens what lies under it.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // the background picture, a centred square three units away
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -4.0f);
    glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[0]);
    drawUnitPlate();

    // the overlay, seven units away, gliding from the centre to (0.4, -1.2)
    // while fade14 runs from 0 to its cap of 4
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(demo.fade14 * 0.2f * 0.5f, demo.fade14 * -0.2f * 1.5f, -8.0f);
    glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[1]);
    drawUnitPlate();
    glPopMatrix();
}
