// The end of the battle (55-65 s) and the closing credits (80-90 s): one
// routine for both, over a full-window background, under whatever projection
// the scene before it left.
#include "scenes/scenes.h"

#include <GL/gl.h>

#include "resources/demo_state.h"
#include "scenes/element_times.h"
#include "scenes/unit_plate.h"

// One picture blended over what lies before it, white, at eye-space offset
// (x, y, z). A pushed picture leaves the modelview matrix the identity.
static void drawPicture(uint32_t texture, float x, float y, float z, void (*plate)(), bool pushed) {
    beginPicture();
    if (pushed) glPushMatrix();
    glTranslatef(x, y, z);
    glBindTexture(GL_TEXTURE_2D, texture);
    plate();
    if (pushed) glPopMatrix();
}

void drawAttacksAndCredits() {
    const float t = demo.demoTime;
    const PngTextures& pic = demo.pngTextures;

    // The background covers the clip square under identity matrices; both
    // matrices come back as they were. It is drawn with the blending the
    // previous frame left.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, pic.bakgrunn);
    drawUnitPlate();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    if (battleEnd.from < t && t < battleEnd.to) {
        // The two monsters, the left one mirrored to face the right one.
        drawPicture(pic.clawomon, 2.5f, -1.0f, -10.0f, drawUnitPlate, false);
        drawPicture(pic.corvumon, -2.5f, -1.0f, -10.0f, drawMirroredPlate, false);
        // lyn flies from the right-hand monster to the left and waits there;
        // fade55 stops at 4, which holds it at x = -1.5 from 59 s.
        if (lynAttack.from < t && t < lynAttack.to)
            drawPicture(pic.lyn, 2.5f - demo.fade55, 0.0f, -15.0f, drawUnitPlate, true);
        // pow where it lands.
        if (powHit.from < t && t < powHit.to)
            drawPicture(pic.pow, -2.5f, 0.0f, -15.0f, drawUnitPlate, true);
        // saks appears at x = -1 and flies right, drawn over lyn as they pass.
        if (saksAttack.from < t && t < saksAttack.to)
            drawPicture(pic.saks, demo.fade55 - 2.5f, 0.0f, -15.0f, drawUnitPlate, true);
        // dodge on the right.
        if (dodgeMove.from < t && t < dodgeMove.to)
            drawPicture(pic.dodge, 2.5f, 0.0f, -15.0f, drawUnitPlate, true);
        // The winner on the right, over clawomon's side.
        if (winnerShown.from < t && t < winnerShown.to)
            drawPicture(pic.winner, 2.5f, 0.0f, -15.0f, drawUnitPlate, true);
    }

    if (credits.from < t && t < credits.to) {
        // Three monsters in a row, each with its credit half over its lower
        // part, and one more credit at the upper left.
        drawPicture(pic.picamon, 2.5f, -1.0f, -5.0f, drawUnitPlate, false);
        drawPicture(pic.blint, 2.5f, -2.0f, -5.0f, drawUnitPlate, false);
        drawPicture(pic.crocomon, -2.5f, -1.0f, -5.0f, drawMirroredPlate, false);
        drawPicture(pic.prall, -2.5f, -2.0f, -5.0f, drawUnitPlate, false);
        drawPicture(pic.teddymon, 0.0f, -1.0f, -5.0f, drawUnitPlate, false);
        drawPicture(pic.ulva, 0.0f, -2.0f, -5.0f, drawUnitPlate, false);
        drawPicture(pic.movik, -2.5f, 2.0f, -5.0f, drawUnitPlate, false);
    }
}
