#include "app/next_pass.h"

#include <GL/gl.h>

#include "platform/view.h"

void resetStateForNextPass() {
    // The switches the scenes turn on and off, and the state they set, at the
    // values every OpenGL context starts with.
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    // The depth test, the picture's viewport and the projection and
    // modelview of start-up; the credits leave the wobble's projection.
    resetView();
}
