// Where the demo's 4:3 picture sits in an output of any size.
#pragma once

// A rectangle in OpenGL window coordinates: x from the left, y from the bottom.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest 4:3 rectangle that fits in width x height, centred; the rest of
// the output is black bars. An output that is already 4:3 gets all of it.
PictureRect centredPictureRect(int width, int height);
// True when the rectangle leaves part of a width x height output uncovered.
bool hasBars(const PictureRect& rect, int width, int height);
