#include "scenes/unit_plate.h"

#include <GL/gl.h>

static void drawPlate(float sRight) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, 1.0f, 1.0f);
    glTexCoord2f(sRight, 0.0f);
    glVertex3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(sRight, 1.0f);
    glVertex3f(1.0f, -1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, -1.0f, 1.0f);
    glEnd();
}

void drawUnitPlate() {
    drawPlate(1.0f);
}

void drawMirroredPlate() {
    drawPlate(-1.0f);
}

void beginPicture() {
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void drawBlendedPicture(uint32_t texture, float x, float y, float z) {
    beginPicture();
    glTranslatef(x, y, z);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawUnitPlate();
}
