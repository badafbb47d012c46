// Start-up: the window's context, every texture and every model, in a fixed order.
#pragma once

struct SDL_Window;

// Makes the window's rendering context and loads the data set.
void loadResources(SDL_Window* window);
// Makes the rendering context of a width x height window (a quit is posted
// when there is none) and gives it the state every context starts with.
void initRendering(SDL_Window* window, int width, int height);
// The state every context of the demo starts with, the window's, the capture
// tool's or a test's: the depth test, the picture in the largest centred 4:3
// rectangle of a width x height output under the fixed 45-degree view, and
// the sphere quadric, made on the first call.
void initContextState(int width, int height);
// The textures and models alone, with a context already current: the part of
// start-up that the capture tool and the tests share with the demo.
void loadTexturesAndModels();
// Starts decoding the pictures on worker threads, so that they are ready by
// the time loadTexturesAndModels makes their textures; the demo calls it
// first thing, before the window opens. Optional: loading starts it anyway.
void startPictureDecoding();
