// Start-up: the window's context, every texture and every model, in a fixed order.
#pragma once

struct SDL_Window;

// Stores the window, makes the rendering context and loads the data set.
void loadResources(SDL_Window* window);
// The textures and models alone, with a context already current: the part of
// start-up that the capture tool and the tests share with the demo.
void loadTexturesAndModels();
