// Parsing and checking the command line of quarnel-capture. --size, --from
// and the times read as the demo reads them (app/command_line.h).
#include "options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"

namespace {

constexpr int maxFps = 1000;

const std::vector<OptionName> captureOptionNames = {
    {"--at", true},    {"--from", true}, {"--to", true},    {"--fps", true}, {"--out", true},
    {"--video", true}, {"--size", true}, {"--help", false}, {"-h", false},   {"--timeline", false},
};

bool parseFps(const std::string& text, int& fps, std::string& error) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        error = "--fps needs a whole number of frames per second, not '" + text + "'";
        return false;
    }
    const long value = std::atol(text.c_str());
    if (value < 1 || value > maxFps) {
        error = "--fps " + text + ": choose 1 to " + std::to_string(maxFps);
        return false;
    }
    fps = int(value);
    return true;
}

} // namespace

std::string captureUsage() {
    char end[16];
    std::snprintf(end, sizeof end, "%g", double(timelineEnd()));
    return std::string(
               "usage: quarnel-capture --at T [--at T2 ...] [--out DIR] [--size WxH]\n"
               "       quarnel-capture --from S --to E [--fps N] [--out DIR] [--size WxH]\n"
               "       quarnel-capture --video FILE.mp4 [--fps N] [--from S --to E] [--size "
               "WxH]\n"
               "       quarnel-capture --timeline\n"
               "\n"
               "Renders the demo without a display. Run it in the folder that holds data/.\n"
               "  --at T         a still at demo time T seconds (0 to ") +
           end +
           "), as DIR/at-MMMMMM.png\n"
           "                 (MMMMMM: T in whole milliseconds)\n"
           "  --from S --to E  every frame of the grid k/N between S and E seconds,\n"
           "                 as DIR/frame-NNNNNN.png, numbered from 0 within the sequence;\n"
           "                 S " +
           fromRangeText() + ", E up to " + end +
           "\n"
           "  --video FILE   the same frames as H.264 with the soundtrack (AAC), the whole\n"
           "                 timeline (0 to " +
           end +
           " s) unless --from/--to narrow it\n"
           "  --fps N        frames per second of the grid (default 60)\n"
           "  --out DIR      folder for stills and frames (default capture)\n"
           "  --size WxH     frame size (default 640x480), each side " +
           std::to_string(smallestSide) + " to " + std::to_string(largestSide) +
           "; a frame that\n"
           "                 is not 4:3 holds the largest 4:3 picture that fits, centred\n"
           "                 between black bars\n"
           "  --timeline     list the scene windows, the music's start, the end and every\n"
           "                 edge of a scene or element window, one per line\n"
           "  --help         this text\n";
}

bool parseOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error) {
    bool sawFrom = false, sawTo = false, sawFps = false, sawOut = false;
    OptionWalk walk{argc, argv};
    std::string flag, value;
    while (nextOption(walk, captureOptionNames, flag, value, error)) {
        if (flag == "--help" || flag == "-h") {
            options.help = true;
            return true;
        } else if (flag == "--timeline") {
            if (argc != 2) {
                error = "--timeline lists the timeline and takes no other option";
                return false;
            }
            options.mode = CaptureMode::timeline;
            return true;
        } else if (flag == "--at") {
            double t = 0.0;
            if (!readTimeOption(flag, value, t, error)) return false;
            options.stillTimes.push_back(t);
        } else if (flag == "--from") {
            if (!readFromOption(value, options.from, error)) return false;
            sawFrom = true;
        } else if (flag == "--to") {
            if (!readTimeOption(flag, value, options.to, error)) return false;
            sawTo = true;
        } else if (flag == "--fps") {
            if (!parseFps(value, options.fps, error)) return false;
            sawFps = true;
        } else if (flag == "--out") {
            if (value.empty()) {
                error = "--out needs a folder name";
                return false;
            }
            options.outDir = value;
            sawOut = true;
        } else if (flag == "--video") {
            if (value.empty()) {
                error = "--video needs a file name";
                return false;
            }
            options.videoPath = value;
        } else if (flag == "--size") {
            if (!readSizeOption(value, options.width, options.height, error)) return false;
        }
    }
    if (!error.empty()) return false;

    const bool stills = !options.stillTimes.empty();
    const bool video = !options.videoPath.empty();
    if (stills && (video || sawFrom || sawTo)) {
        error = "--at makes stills; it cannot be combined with --video, --from or --to";
        return false;
    }
    if (stills) {
        if (sawFps) {
            error = "--fps does not apply to stills: they follow the 60 fps grid";
            return false;
        }
        options.mode = CaptureMode::stills;
        return true;
    }
    if (video) {
        if (sawOut) {
            error = "--out does not apply to a video: it goes where --video says";
            return false;
        }
        options.mode = CaptureMode::video;
    } else if (sawFrom || sawTo) {
        if (!sawFrom || !sawTo) {
            error = "a frame sequence needs both --from and --to";
            return false;
        }
        options.mode = CaptureMode::frames;
    } else {
        error = "nothing to do: give --at, --from and --to, or --video";
        return false;
    }
    if (options.from > options.to) {
        error = "--from must not be after --to";
        return false;
    }
    // H.264 in yuv420p halves the colour resolution both ways.
    if (options.mode == CaptureMode::video && (options.width % 2 != 0 || options.height % 2 != 0)) {
        error = "--size: a video needs an even width and height";
        return false;
    }
    return true;
}
