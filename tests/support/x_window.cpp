#include "x_window.h"

#include <X11/Xatom.h>
// Xutil.h is left out: its Region would clash with the tests' own.
#include <X11/Xlib.h>
#include <chrono>
#include <thread>

static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

static Display* openDisplay(const VirtualDisplay& display) {
    XSetErrorHandler(ignoreXError);
    return XOpenDisplay(display.name.c_str());
}

bool windowGeometry(const VirtualDisplay& display, unsigned long window, WindowGeometry& geometry) {
    Display* x = openDisplay(display);
    if (!x) return false;
    XWindowAttributes attributes{};
    Window child = 0;
    bool ok = XGetWindowAttributes(x, window, &attributes) &&
              XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &geometry.x, &geometry.y,
                                    &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    geometry.viewable = attributes.map_state == IsViewable;
    XCloseDisplay(x);
    return ok;
}

bool windowHasState(const VirtualDisplay& display, unsigned long window, const std::string& state) {
    Display* x = openDisplay(display);
    if (!x) return false;
    const Atom wanted = XInternAtom(x, state.c_str(), False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                           &type, &format, &count, &after, &data) == Success &&
        data) {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; i++)
            found = found || atoms[i] == wanted;
    }
    if (data) XFree(data);
    XCloseDisplay(x);
    return found;
}

// The colour channel held under mask, as 8 bits.
static int channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        shift++;
    const unsigned long bits = mask >> shift;
    return int(((pixel >> shift) & bits) * 255 / bits);
}

bool readWindowImage(const VirtualDisplay& display, unsigned long window, Still& image) {
    Display* x = openDisplay(display);
    if (!x) return false;
    XWindowAttributes attributes{};
    XImage* picture = nullptr;
    if (XGetWindowAttributes(x, window, &attributes))
        picture = XGetImage(x, window, 0, 0, unsigned(attributes.width),
                            unsigned(attributes.height), AllPlanes, ZPixmap);
    if (picture) {
        image.width = picture->width;
        image.height = picture->height;
        image.rgb.resize(size_t(image.width) * image.height * 3);
        uint8_t* out = image.rgb.data();
        for (int row = 0; row < image.height; row++)
            for (int column = 0; column < image.width; column++) {
                const unsigned long pixel = picture->f.get_pixel(picture, column, row);
                *out++ = uint8_t(channel(pixel, picture->red_mask));
                *out++ = uint8_t(channel(pixel, picture->green_mask));
                *out++ = uint8_t(channel(pixel, picture->blue_mask));
            }
        picture->f.destroy_image(picture);
    }
    XCloseDisplay(x);
    return picture != nullptr;
}

// A window manager that follows the common hints names a window of its own on
// the root window.
static bool managerAnnounced(const VirtualDisplay& display) {
    Display* x = openDisplay(display);
    if (!x) return false;
    Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type,
                                    &format, &count, &after, &data) == Success &&
                 count == 1;
    if (data) XFree(data);
    XCloseDisplay(x);
    return found;
}

// A window manager announces itself before it has loaded its theme and
// taken over the screen, and a map request made in between may be lost. It
// is ready once it puts a window of ours on the screen; the request is made
// again until it does.
static bool managerMapsWindows(const VirtualDisplay& display,
                               std::chrono::steady_clock::time_point end) {
    Display* x = openDisplay(display);
    if (!x) return false;
    const Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 16, 16, 0, 0, 0);
    bool shown = false;
    for (int turn = 0; !shown && std::chrono::steady_clock::now() < end; turn++) {
        if (turn % 10 == 0) {
            XMapWindow(x, probe);
            XFlush(x);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        XWindowAttributes attributes{};
        shown = XGetWindowAttributes(x, probe, &attributes) && attributes.map_state == IsViewable;
    }
    XDestroyWindow(x, probe);
    XCloseDisplay(x);
    return shown;
}

bool startWindowManager(const VirtualDisplay& display, DemoProcess& manager,
                        const std::string& program, double seconds) {
    if (!startProcess(manager, program, "/tmp", {"DISPLAY=" + display.name})) return false;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    while (std::chrono::steady_clock::now() < end) {
        if (managerAnnounced(display)) return managerMapsWindows(display, end);
        if (!isRunning(manager)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
