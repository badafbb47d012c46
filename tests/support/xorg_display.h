// A display whose mode really switches: Xorg with the dummy video driver
// (output DUMMY0, desktop at 1920 x 1080), read through RandR from outside.
#pragma once

#include <string>

#include "demo_process.h"

// Starts Xorg with its own configuration and log in a scratch folder; with
// has640 false the monitor's range rules out every 640 x 480 timing (800 x
// 600 as well; the closest mode left is 832 x 624). False if it will not start.
bool startModeSwitchingDisplay(VirtualDisplay& display, bool has640 = true);
// The mode the first lit CRTC shows, "WxH", followed by " in a WxH screen"
// when the screen's size differs from it; "" when it cannot be read.
std::string displayMode(const VirtualDisplay& display);
// Polls until displayMode is mode; false after seconds.
bool waitForDisplayMode(const VirtualDisplay& display, const std::string& mode, double seconds);
