// The one GLSL ES 1.00 program the layer draws with: GL 1.1's unlit, fixed
// pipeline with the texture environment GL_MODULATE.
#pragma once

#include <GLES2/gl2.h>

enum Attribute : GLuint { positionAttribute = 0, colourAttribute = 1, texCoordAttribute = 2 };

struct DrawingProgram {
    GLuint program = 0;
    GLint transform = -1;     // mat4: projection * modelview
    GLint textureMatrix = -1; // mat4: the texture stack's top
    GLint textured = -1;      // bool: texturing on with a complete texture
};

// Builds the program in the current context and makes it current; false,
// said on standard error, when it does not build.
bool buildDrawingProgram(DrawingProgram& out);
