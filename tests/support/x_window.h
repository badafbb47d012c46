// Looking at a window on a virtual X server from outside: where it is, what it
// shows, and a window manager to run beside it.
#pragma once

#include <string>

#include "broken_data.h"
#include "demo_process.h"

// A window's client area in root coordinates.
struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
};
bool windowGeometry(const VirtualDisplay& display, unsigned long window, WindowGeometry& geometry);
// Whether the window's _NET_WM_STATE (kept by a window manager) holds state,
// e.g. "_NET_WM_STATE_FULLSCREEN".
bool windowHasState(const VirtualDisplay& display, unsigned long window, const std::string& state);
// The pixels the window shows now, as RGB rows, top row first.
bool readWindowImage(const VirtualDisplay& display, unsigned long window, Still& image);
// Starts a window manager program (e.g. "openbox") on the display and waits
// until it has announced itself on the root window and maps windows; false
// after seconds.
bool startWindowManager(const VirtualDisplay& display, DemoProcess& manager,
                        const std::string& program, double seconds);
