// The command line of quarnel-capture: stills, frame sequences or a video.
#pragma once

#include <string>
#include <vector>

#include "app/grid.h"
#include "app/timeline.h"

enum class CaptureMode { none, stills, frames, video, timeline };

struct CaptureOptions {
    CaptureMode mode = CaptureMode::none;
    std::vector<double> stillTimes; // --at, seconds, in the order given
    double from = 0.0;              // --from, seconds
    double to = timelineEnd();      // --to, seconds
    int fps = captureGridFps;       // --fps, frames per second of the grid
    std::string outDir = "capture"; // --out, for stills and frames
    std::string videoPath;          // --video
    int width = 640;                // --size
    int height = 480;
    bool help = false; // --help: print usage, nothing else
};

// Fills options from argv. False with a one-line reason in error when the
// arguments are not a complete, sensible request.
bool parseOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error);
// The usage text printed by --help and after a bad argument, each line
// ending in a newline.
std::string captureUsage();
