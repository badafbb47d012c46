// The page's canvas, which the demo draws into through its WebGL context.
#pragma once

// Makes the canvas's WebGL 1 context (no antialiasing, no alpha, a depth
// buffer) current and readies the OpenGL 1.1 layer on it; false without WebGL.
bool createCanvasContext();
// The picture follows the canvas's drawing-buffer size, which the page sets
// from the window's size and the screen's pixel ratio.
void followCanvasSize();
// The canvas's drawing-buffer size.
void canvasSize(int& width, int& height);
// Whether a run or a test's still has drawn since loading: a run that
// follows one first puts back the state a new context starts with.
void noteCanvasUsed();
bool canvasUsed();
