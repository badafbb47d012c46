// The window, its display mode and its rendering context.
#include "app/window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>

#include "platform/message_box.h"
#include "platform/quit.h"
#include "resources/demo_state.h"

// Whether this run switched the display, so that every way out restores it.
static bool displaySwitched = false;

// Runs on every exit path that passes through exit(), including a missing or
// damaged picture: the desktop gets its mode and cursor back.
static void restoreDisplayAtExit() {
    if (!displaySwitched) return;
    displaySwitched = false;
    if (demo.window) SDL_SetWindowFullscreen(demo.window, 0);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void enterFullScreenMode() {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        showMessageBox("Could Not Enum Display Settings", "Error", nullptr);
        return;
    }
    // Only an exact 640 x 480 mode in the desktop's format will do.
    int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w == 640 && mode.h == 480 && mode.format == desktop.format) return;
    }
    showMessageBox("Display Mode Not Compatible", "Error", nullptr);
    postQuitMessage(0);
}

// Double-buffered RGBA 8-8-8-8 with a depth buffer of the given size.
static void requestPixelFormat(int depthBits) {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

static const char* envOrEmpty(const char* name) {
    const char* value = SDL_getenv(name);
    return value ? value : "";
}

// With no display to open, SDL falls back to drawing offscreen, where nobody
// would see the demo: that counts as no display unless the user chose it.
static bool onlyInvisibleVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_getenv("SDL_VIDEODRIVER")) return false;
    return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
}

SDL_Window* createMainWindow(const char* title, int width, int height, bool fullScreen) {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "blint", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "quarnel: no display: %s\n", SDL_GetError());
        return nullptr;
    }
    if (onlyInvisibleVideo()) {
        std::fprintf(stderr,
                     "quarnel: no display: neither X11 nor Wayland could be opened "
                     "(DISPLAY=\"%s\", WAYLAND_DISPLAY=\"%s\")\n",
                     envOrEmpty("DISPLAY"), envOrEmpty("WAYLAND_DISPLAY"));
        SDL_Quit();
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (fullScreen) {
        enterFullScreenMode();
        SDL_ShowCursor(SDL_DISABLE);
        flags |= SDL_WINDOW_FULLSCREEN;
        displaySwitched = true;
        std::atexit(restoreDisplayAtExit);
    }
    // A 32-bit depth buffer, or 24 bits only when 32 is refused.
    requestPixelFormat(32);
    SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!window) {
        requestPixelFormat(24);
        window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    }
    if (!window) {
        std::fprintf(stderr, "quarnel: cannot create the window: %s\n", SDL_GetError());
        return nullptr;
    }
    demo.window = window;
    SDL_RaiseWindow(window);

    demo.sphereQuadric = gluNewQuadric();
    gluQuadricNormals(demo.sphereQuadric, GLU_SMOOTH);
    gluQuadricTexture(demo.sphereQuadric, GL_TRUE);
    return window;
}

bool setupPixelFormat(SDL_Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        showMessageBox("ChoosePixelFormat failed", "Error", nullptr);
        return false;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        SDL_GL_DeleteContext(context);
        showMessageBox("SetPixelFormat failed", "Error", nullptr);
        return false;
    }
    demo.renderContext = context;
    return true;
}

void initRendering(int width, int height) {
    if (!setupPixelFormat(demo.window)) postQuitMessage(0);
    glEnable(GL_DEPTH_TEST);
    resizeView(width, height);
}

void resizeView(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), 0.5, 150.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void shutdownWindow() {
    if (demo.renderContext) {
        SDL_GL_MakeCurrent(demo.window, nullptr);
        SDL_GL_DeleteContext(demo.renderContext);
        demo.renderContext = nullptr;
    }
    restoreDisplayAtExit();
}

void windowProc(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) postQuitMessage(0);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) postQuitMessage(0);
        break;
    case SDL_QUIT: // the last window closed, or an interrupt or terminate signal
        postQuitMessage(0);
        break;
    default:
        break;
    }
}
