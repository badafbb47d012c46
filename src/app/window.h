// The one window and its OpenGL context, on SDL2.
#pragma once

union SDL_Event;
struct SDL_Window;

// Creates the window with a width x height client area, full screen after
// switching the display to 640 x 480 when fullScreen is set. Also makes the
// sphere quadric. Null, with the reason on standard error, when there is no
// display (SDL's invisible offscreen fallback counts as none) or the window
// cannot be created.
SDL_Window* createMainWindow(const char* title, int width, int height, bool fullScreen);
// Checks that an exact 640 x 480 mode in the desktop's format exists.
void enterFullScreenMode();
// Creates the rendering context for the window and makes it current.
bool setupPixelFormat(SDL_Window* window);
// Context, depth test and the fixed perspective view.
void initRendering(int width, int height);
// Viewport and 45-degree perspective for width x height; height 0 counts as 1.
void resizeView(int width, int height);
// Releases the context and, when full screen, restores the display and cursor.
void shutdownWindow();
// Escape and the close request post the quit request; nothing else does anything.
void windowProc(const SDL_Event& event);
