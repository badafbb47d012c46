#include "screen_shot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<uint8_t> screenRgb(const std::string& displayName, int& width, int& height) {
    std::vector<uint8_t> rgb;
    width = height = 0;
    Display* x = XOpenDisplay(displayName.c_str());
    if (!x) return rgb;
    const Window root = DefaultRootWindow(x);
    XWindowAttributes size{};
    XGetWindowAttributes(x, root, &size);
    if (XImage* image = XGetImage(x, root, 0, 0, size.width, size.height, AllPlanes, ZPixmap)) {
        width = size.width;
        height = size.height;
        for (int row = 0; row < height; row++)
            for (int column = 0; column < width; column++) {
                const unsigned long pixel = XGetPixel(image, column, row);
                rgb.insert(rgb.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
            }
        XDestroyImage(image);
    }
    XCloseDisplay(x);
    return rgb;
}
