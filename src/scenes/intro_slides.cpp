// The opening before the music: two seconds of empty screen, then three
// pictures, four seconds each, each fading out while it is shown.
#include "scenes/scenes.h"

#include <GL/gl.h>

#include "resources/demo_state.h"
#include "scenes/unit_plate.h"

// Each slide is a centred square three units away, blended over the cleared
// screen; its opacity falls by 0.15 per second (computed in double). The
// windows are strict at both ends, so 2, 6, 10 and 14 s show nothing.
void drawIntroSlides() {
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float t = demo.demoTime;

    // slide 1, "Vormak presents": opacity 0.85 down to 0.25
    if (t > 2.0f && t < 6.0f) {
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, float(1.0 - 0.15 * demo.fade1));
        glTranslatef(0.0f, 0.0f, -4.0f);
        glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[4]);
        drawUnitPlate();
    }

    // slide 2, the title with the two monsters: opacity 0.70 down to 0.10
    if (t > 6.0f && t < 10.0f) {
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, float(1.0 - 0.15 * demo.fade4));
        glTranslatef(0.0f, 0.0f, -4.0f);
        glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[5]);
        drawUnitPlate();
    }

    // slide 3, the disco floor: opacity 0.70 down to 0.10
    if (t > 10.0f && t < 14.0f) {
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, float(1.0 - 0.15 * demo.fade8));
        glTranslatef(0.0f, 0.0f, -4.0f);
        glBindTexture(GL_TEXTURE_2D, demo.jpegTextures[6]);
        drawUnitPlate();
    }
}
