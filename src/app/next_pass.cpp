#include "app/next_pass.h"

#include <GL/gl.h>

#include "platform/view.h"

void resetStateForNextPass() {
    // What a pass can leave unlike a new context: the credits' blending and
    // colour, the last picture's texture. The scenes' other settings (culling
    // and lighting off, a black clear colour, filled polygons, the client
    // arrays and the texture matrix) end every frame as a new context has them.
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    // The depth test, the picture's viewport and the projection and
    // modelview of start-up; the credits leave the wobble's projection.
    resetView();
}
