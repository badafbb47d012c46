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

void drawUnitPlate() { drawPlate(1.0f); }

void drawMirroredPlate() { drawPlate(-1.0f); }
