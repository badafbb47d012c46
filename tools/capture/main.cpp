// quarnel-capture: the demo as stills, frame sequences or a video, drawn
// offscreen with no display, from data/ in the working folder.
#include <cstdio>
#include <string>

#include "capture.h"
#include "options.h"

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quarnel-capture: %s\n\n%s", error.c_str(), captureUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(captureUsage().c_str(), stdout);
        return 0;
    }
    switch (options.mode) {
    case CaptureMode::stills:
        return captureStills(options);
    case CaptureMode::frames:
        return captureFrames(options);
    case CaptureMode::video:
        return captureVideo(options);
    case CaptureMode::timeline:
        return printTimeline();
    case CaptureMode::none:
        break;
    }
    return 2;
}
