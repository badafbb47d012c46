// Parts the monsters share: eyes, claws, stitches, sparks.
#pragma once

#include "canvas.h"

// A cartoon eye: bone white, ink pupil looking along `look` (unit-ish), a
// catchlight; `angry` adds a slanted brow, down towards the front (left).
void drawEye(Canvas& cv, Vec2 centre, float r, Vec2 look = {-1, 0}, bool angry = false,
             Color iris = pal::ink);
// A curved claw or fang from `base` pointing along `dir` (degrees, 0 = up,
// clockwise), `length` long and `width` wide at the base.
void drawClaw(Canvas& cv, Vec2 base, float degrees, float length, float width,
              Color colour = pal::bone);
// A row of ink stitches across the line from a to b.
void drawStitches(Canvas& cv, Vec2 a, Vec2 b, int count, float size);
// A small zig-zag spark in the colour given.
void drawSpark(Canvas& cv, Vec2 centre, float size, float degrees, Color colour);
