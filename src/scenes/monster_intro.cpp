// The two monsters are introduced: a glowing title at the top, each monster's
// portrait, name and skills flying into place, and a ball tumbling to the bass.
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "resources/demo_state.h"
#include "scenes/element_times.h"
#include "scenes/unit_plate.h"

void drawMonsterIntro() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const float t = demo.demoTime;
    const PngTextures& pictures = demo.pngTextures;

    // the "starring" title, added onto the black frame; its top edge lies
    // just above the view
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 2.0f, -8.0f);
    glBindTexture(GL_TEXTURE_2D, pictures.starring);
    drawUnitPlate();

    // The sets fly from behind the viewer (plate plane at z = +1) to rest at
    // z = -5.4 in four seconds; the capped fade clock holds them there.

    // the claw set: portrait upper left, its name over the portrait's lower
    // half, its skills card on the right
    if (t > clawSet.from && t < clawSet.to) {
        const float z = float(demo.fade23 * 0.2 * -8.0);
        drawBlendedPicture(pictures.clawomon, -1.5f, 1.0f, z);
        drawBlendedPicture(pictures.clawtekst, -1.5f, 0.0f, z);
        drawBlendedPicture(pictures.clawskills, 1.5f, 0.0f, z);
    }
    // the corv set, in the same places; before 35 s it is not yet in view
    if (t > corvSet.from && t < corvSet.to) {
        const float z = float(demo.fade34 * 0.2 * -8.0);
        drawBlendedPicture(pictures.corvumon, -1.5f, 1.0f, z);
        drawBlendedPicture(pictures.corvtekst, -1.5f, 0.0f, z);
        drawBlendedPicture(pictures.corvskills, 1.5f, 0.0f, z);
    }

    // The plates go to the rasteriser threads now, to be filled while this
    // thread makes the ball's 33 000 vertices (the same pixels, in order).
    glFlush();

    // the ball in the lower left, tumbling with the clock and swelling with
    // the bass; blended as the pictures left it, depth-tested against itself
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(-3.5f, -2.5f, -14.0f);
    glRotatef(t * 60.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(t * 30.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(t * 60.0f, 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, pictures.pokeball);
    const float s = demo.spectrum[0] + demo.spectrum[0] + 1.0f;
    glScalef(s, s, s);
    // The quadric is made with the window; a frame drawn without one (an
    // offscreen context that never made it) leaves the ball out.
    if (demo.sphereQuadric) gluSphere(demo.sphereQuadric, double(1.3f), 128, 128);
}
