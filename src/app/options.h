// The demo's command line: how the picture is shown and where the timeline starts.
#pragma once

#include <string>

#include "platform/window.h"

struct DemoOptions {
    DisplayChoice display = DisplayChoice::ExactMode;
    int width = 640; // the window's client area, for DisplayChoice::Window
    int height = 480;
    bool startLate = false; // the timeline starts at `from` instead of running from launch
    double from = 0.0;      // seconds of demo time, 0 <= from < timelineEnd()
    bool vsync = true;      // frames once a display refresh; false: as fast as the swap returns
    bool loop = false;      // the timeline starts again from 0 at its end, until a quit request
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    DemoOptions options;
    std::string error; // one line naming what was wrong; empty when all was understood
};

// Reads argv[1..argc-1]. Options take their value as the next argument or
// after '=' ("--size 800x600", "--size=800x600"); --size and --from read as
// the capture tool reads them (app/command_line.h).
ParsedOptions parseOptions(int argc, const char* const* argv);
// The usage text --help prints, several lines, each ending in a newline.
std::string demoUsage();
// "quarnel " and the version, then the description, the maker and the
// copyright line, each on a line of its own, without a final newline.
const char* versionText();
