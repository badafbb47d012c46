// The one window and its OpenGL context, on SDL2.
#pragma once

union SDL_Event;
struct SDL_Window;

// How the demo takes the screen.
enum class DisplayChoice {
    ExactMode, // full screen after switching the display to an exact 640 x 480 mode
    Desktop,   // full screen at the desktop's own resolution, the display left as it is
    Window,    // a window of the asked size, the display left as it is
};

// Creates the window. ExactMode and Window get a
// width x height client area, Desktop the whole screen. Null, with the reason
// on standard error, when there is no display (SDL's invisible offscreen
// fallback counts as none) or the window cannot be created.
SDL_Window* createMainWindow(const char* title, DisplayChoice choice, int width, int height);
// The window createMainWindow made, null before it or when it failed: the
// one handle, for the swap and as the owner of message boxes.
SDL_Window* mainWindowHandle();
// Makes the window full screen where creating it left that for after the
// first frame (the desktop already at the mode); the opening's first two
// seconds are black, so the time SDL takes over it is not seen.
void finishFullScreen();
// Checks that an exact 640 x 480 mode in the desktop's format exists; when
// not, shows "Display Mode Not Compatible", posts the quit request and
// returns false. Also false, after "Could Not Enum Display Settings" and
// with no quit request, when the desktop's mode cannot be read.
bool enterFullScreenMode();
// Creates the rendering context for the window and makes it current; null,
// after its message box, when there is none.
void* setupPixelFormat(SDL_Window* window);
// Asks for swaps that wait for the vertical blank: adaptive where the driver
// offers it (a frame that comes late is shown at once, not a refresh later),
// else every blank; with waitForBlank false, for swaps that never wait. False
// when the driver grants neither. Needs the current context.
bool requestSwapInterval(bool waitForBlank);
// The refresh rate, in Hz, of the mode the window's display shows; 0 when
// the display reports none.
int displayRefreshRate();
// Releases the context setupPixelFormat made and, when full screen, restores
// the display and cursor.
void shutdownWindow();
// Escape and the close request post the quit request; nothing else does anything.
void windowProc(const SDL_Event& event);
