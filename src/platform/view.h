// Where the picture sits in the output and the view the demo starts with:
// the same for the window and for an offscreen context.
#pragma once

#include "platform/picture_rect.h"

struct GLUquadric;

// What every context of the demo starts with, in the current context: the
// depth test, the picture in the largest centred 4:3 rectangle of a width x
// height output, and the fixed 45-degree view.
void initView(int width, int height);
// initView again for the output's latest size (the one followOutputSize last
// saw): the state a context starts with, for a run that starts over.
void resetView();
// Viewport and 45-degree perspective for width x height; height 0 counts as 1.
void resizeView(int width, int height);
// The same for a picture in rect: the viewport there, the aspect its own.
void placeView(const PictureRect& rect);
// The output became width x height: the picture moves to its new centred
// rectangle, the projection stays. Nothing happens when the size is the same.
void followOutputSize(int width, int height);
// Keeps the bars black once a frame has been drawn, before the swap: the
// scenes' own clears blacken them as long as they clear with black, so this
// clears them again only when the frame left another clear colour set. Does
// nothing when the picture fills the output.
void clearBars();
// The quadric the scenes draw spheres with: smooth normals, texture
// coordinates, GLU's default filled style. Needs no context.
GLUquadric* makeSphereQuadric();
