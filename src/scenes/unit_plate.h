// The quad every scene draws its pictures with.
#pragma once

#include <cstdint>

// A 2 x 2 square in the plane z = 1 of the current modelview frame, one
// GL_QUADS: (0,0) at (-1,1,1), (1,0) at (1,1,1), (1,1) at (1,-1,1), (0,1) at
// (-1,-1,1). t = 0 runs along its top edge.
void drawUnitPlate();
// The same square with s running 0, -1, -1, 0: the picture flipped left to
// right (the textures repeat).
void drawMirroredPlate();
// Starts a picture element: the identity modelview, blending by the picture's
// own alpha over what lies before it, opaque white.
void beginPicture();
// One picture element: the identity modelview, blended by its own alpha over
// what lies before it, opaque white, moved to (x, y, z), then the unit plate
// with the picture's texture.
void drawBlendedPicture(uint32_t texture, float x, float y, float z);
