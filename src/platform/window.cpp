// The window, its display mode and its rendering context.
#include "platform/window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

#include "platform/display_guard.h"
#include "platform/message_box.h"
#include "platform/quit.h"
#include "platform/view.h"
#include "platform/window_class.h"

// Whether this run switched the display, so that every way out restores it.
static bool displaySwitched = false;

// The one window and its context, as createMainWindow and setupPixelFormat
// made them. Only the windows the command line asks for follow a size the
// window manager gives.
static SDL_Window* mainWindow = nullptr;
static SDL_GLContext renderContext = nullptr;
static bool followWindowSize = false;

// The full-screen request that waits for the first frame (see finishFullScreen);
// 0 when there is none.
static Uint32 fullScreenLater = 0;

// True when the desktop already shows width x height, so that full screen
// at that mode switches nothing.
static bool desktopIsExactMode(int width, int height) {
    SDL_DisplayMode desktop;
    return SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w == width && desktop.h == height;
}

void finishFullScreen() {
    if (!fullScreenLater) return;
    SDL_SetWindowFullscreen(mainWindow, fullScreenLater);
    fullScreenLater = 0;
}

// Runs on every exit path that passes through exit(), including a missing or
// damaged picture: the desktop gets its mode and cursor back.
static void restoreDisplayAtExit() {
    if (!displaySwitched) return;
    displaySwitched = false;
    if (mainWindow) SDL_SetWindowFullscreen(mainWindow, 0);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    releaseDisplayGuard(); // the mode is back: the guard has nothing left to do
}

bool enterFullScreenMode() {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        showMessageBox("Could Not Enum Display Settings", "Error", nullptr);
        return false;
    }
    // Only an exact 640 x 480 mode in the desktop's format will do.
    int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w == 640 && mode.h == 480 && mode.format == desktop.format) return true;
    }
    std::fprintf(stderr, "quarnel: this display has no 640 x 480 mode: --desktop plays full "
                         "screen at the desktop's resolution, --window in a window\n");
    showMessageBox("Display Mode Not Compatible", "Error", nullptr);
    postQuitMessage(0);
    return false;
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

// The display keeps its mode, so there is nothing to give back. The window
// is made borderless over the whole screen, which is what the full-screen
// request after the first frame asks for: with no window manager to carry
// that out, nothing else would enlarge it.
static void coverDesktop(Uint32& flags, int& x, int& y, int& width, int& height) {
    SDL_ShowCursor(SDL_DISABLE);
    flags |= SDL_WINDOW_BORDERLESS;
    fullScreenLater = SDL_WINDOW_FULLSCREEN_DESKTOP;
    followWindowSize = true;
    SDL_Rect screen{x, y, width, height};
    SDL_GetDisplayBounds(0, &screen);
    x = screen.x;
    y = screen.y;
    width = screen.w;
    height = screen.h;
}

static SDL_Window* createWindowAt(const char* title, DisplayChoice choice, int x, int y, int width,
                                  int height) {
    nameWindowClass("blint");
    // Sizes are the display's own pixels. On Windows the program's manifest
    // declares it aware of each monitor's scale, so Windows neither shrinks
    // the desktop it reports nor stretches the picture; SDL's own scaling,
    // which counts in scaled points and which the environment could ask for
    // (SDL_WINDOWS_DPI_SCALING), stays off.
    SDL_SetHintWithPriority(SDL_HINT_WINDOWS_DPI_SCALING, "0", SDL_HINT_OVERRIDE);
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
    // A Wayland compositor switches no real mode: it scales a full-screen
    // window of another size to fill the output, which stretches the 4:3
    // picture on any other shape. There the default run plays as --desktop
    // does, at the output's own size between black bars.
    if (choice == DisplayChoice::ExactMode &&
        SDL_strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0)
        choice = DisplayChoice::Desktop;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    switch (choice) {
    case DisplayChoice::ExactMode:
        SDL_ShowCursor(SDL_DISABLE);
        if (!enterFullScreenMode()) {
            // No exact mode (the run ends as soon as the loop starts), or the
            // desktop's could not be read: a borderless pop-up at the top
            // left of the desktop as it is, nothing switched.
            flags |= SDL_WINDOW_BORDERLESS;
            break;
        }
        // X11 and Windows switch the whole display: a guard, ready before
        // any switch, gives the desktop its mode back if the demo cannot,
        // and says whether another run already holds the display's mode.
        // Then the desktop shows that run's mode, not its own, and this run
        // leaves it alone, as --desktop does.
        if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0 ||
            SDL_strcmp(SDL_GetCurrentVideoDriver(), "windows") == 0) {
            if (startDisplayGuard(x + width / 2, y + height / 2) == GuardAnswer::HeldElsewhere) {
                std::fprintf(stderr, "quarnel: another run has switched this display: this one "
                                     "plays at the resolution it shows, as --desktop does\n");
                coverDesktop(flags, x, y, width, height);
                break;
            }
        }
        displaySwitched = true;
        std::atexit(restoreDisplayAtExit);
        if (desktopIsExactMode(width, height)) {
            // Nothing to switch, so nothing to guard: a borderless window
            // over the screen looks the same, and the full-screen request,
            // for whose answer SDL waits up to 100 ms on X11, follows the
            // first frame.
            releaseDisplayGuard();
            flags |= SDL_WINDOW_BORDERLESS;
            fullScreenLater = SDL_WINDOW_FULLSCREEN;
            SDL_Rect screen{x, y, width, height};
            SDL_GetDisplayBounds(0, &screen);
            x = screen.x;
            y = screen.y;
        } else {
            flags |= SDL_WINDOW_FULLSCREEN;
        }
        break;
    case DisplayChoice::Desktop:
        coverDesktop(flags, x, y, width, height);
        break;
    case DisplayChoice::Window:
        followWindowSize = true;
        break;
    }
    // A 32-bit depth buffer, or 24 bits only when 32 is refused.
    requestPixelFormat(32);
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (!window) {
        requestPixelFormat(24);
        window = SDL_CreateWindow(title, x, y, width, height, flags);
    }
    if (!window) {
        std::fprintf(stderr, "quarnel: cannot create the window: %s\n", SDL_GetError());
        return nullptr;
    }
    mainWindow = window;
    SDL_RaiseWindow(window);
    return window;
}

SDL_Window* createMainWindow(const char* title, DisplayChoice choice, int width, int height) {
    if (choice == DisplayChoice::Window)
        return createWindowAt(title, choice, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                              height);
    return createWindowAt(title, choice, 0, 0, width, height);
}

SDL_Window* mainWindowHandle() {
    return mainWindow;
}

void* setupPixelFormat(SDL_Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        showMessageBox("ChoosePixelFormat failed", "Error", nullptr);
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        SDL_GL_DeleteContext(context);
        showMessageBox("SetPixelFormat failed", "Error", nullptr);
        return nullptr;
    }
    renderContext = context;
    return context;
}

bool requestSwapInterval(bool waitForBlank) {
    if (!waitForBlank) return SDL_GL_SetSwapInterval(0) == 0;
    return SDL_GL_SetSwapInterval(-1) == 0 || SDL_GL_SetSwapInterval(1) == 0;
}

int displayRefreshRate() {
    const int display = mainWindow ? SDL_GetWindowDisplayIndex(mainWindow) : 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void shutdownWindow() {
    if (renderContext) {
        SDL_GL_MakeCurrent(mainWindow, nullptr);
        SDL_GL_DeleteContext(renderContext);
        renderContext = nullptr;
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
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && followWindowSize &&
            renderContext) {
            // A new window size moves the picture; its aspect, and so the
            // scenes' projections, stay as they are.
            int width = 0, height = 0;
            SDL_GL_GetDrawableSize(mainWindow, &width, &height);
            followOutputSize(width, height);
        }
        break;
    case SDL_QUIT: // the last window closed, or an interrupt or terminate signal
        postQuitMessage(0);
        break;
    default:
        break;
    }
}
