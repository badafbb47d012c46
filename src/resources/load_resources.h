// Start-up: the window's context, every texture and every model, in a fixed order.
#pragma once

struct SDL_Window;

// Stores the window, makes the rendering context and loads the data set.
void loadResources(SDL_Window* window);
// The textures and models alone, with a context already current: the part of
// start-up that the capture tool and the tests share with the demo.
void loadTexturesAndModels();
// Starts decoding the pictures on worker threads, so that they are ready by
// the time loadTexturesAndModels makes their textures; the demo calls it
// first thing, before the window opens. Optional: loading starts it anyway.
void startPictureDecoding();
