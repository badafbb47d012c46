// Parsing and checking the command line of quarnel-capture.
#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double timelineEnd = 90.0; // nothing is drawn after the demo's last scene
constexpr int maxFps = 1000;
constexpr int minWidth = 32;
constexpr int maxWidth = 7680;
constexpr int minHeight = 24;
constexpr int maxHeight = 5760; // a 4:3 frame at the widest

const char* const usage =
    "usage: quarnel-capture --at T [--at T2 ...] [--out DIR] [--size WxH]\n"
    "       quarnel-capture --from S --to E [--fps N] [--out DIR] [--size WxH]\n"
    "       quarnel-capture --video FILE.mp4 [--fps N] [--from S --to E] [--size WxH]\n"
    "\n"
    "Renders the demo without a display. Run it in the folder that holds data/.\n"
    "  --at T         a still at demo time T seconds, as DIR/at-MMMMMM.png\n"
    "                 (MMMMMM: T in whole milliseconds)\n"
    "  --from S --to E  every frame of the grid k/N between S and E seconds,\n"
    "                 as DIR/frame-NNNNNN.png, numbered from 0 within the sequence\n"
    "  --video FILE   the same frames as H.264 with the soundtrack (AAC), the whole\n"
    "                 timeline (0 to 90 s) unless --from/--to narrow it\n"
    "  --fps N        frames per second of the grid (default 60)\n"
    "  --out DIR      folder for stills and frames (default capture)\n"
    "  --size WxH     frame size (default 640x480); a frame that is not 4:3 holds\n"
    "                 the largest 4:3 picture that fits, centred between black bars\n"
    "  --help         this text\n";

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

bool parseTime(const std::string& flag, const std::string& text, double& value,
               std::string& error) {
    if (!parseNumber(text, value)) {
        error = flag + " needs a number of seconds, not \"" + text + "\"";
        return false;
    }
    if (value < 0.0) {
        error = flag + " " + text + ": times start at 0";
        return false;
    }
    if (value > timelineEnd) {
        error = flag + " " + text + ": the demo ends at 90 seconds";
        return false;
    }
    return true;
}

bool parseFps(const std::string& text, int& fps, std::string& error) {
    double value = 0.0;
    if (!parseNumber(text, value) || value != std::floor(value)) {
        error = "--fps needs a whole number of frames per second, not \"" + text + "\"";
        return false;
    }
    if (value < 1.0 || value > maxFps) {
        error = "--fps " + text + ": choose 1 to " + std::to_string(maxFps);
        return false;
    }
    fps = int(value);
    return true;
}

// W and H as plain decimal digits.
bool parseDimension(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atoi(text.c_str());
    return true;
}

bool parseSize(const std::string& text, int& width, int& height, std::string& error) {
    const size_t x = text.find('x');
    if (x == std::string::npos || !parseDimension(text.substr(0, x), width) ||
        !parseDimension(text.substr(x + 1), height)) {
        error = "--size needs WIDTHxHEIGHT, e.g. 1280x960, not \"" + text + "\"";
        return false;
    }
    if (width < minWidth || width > maxWidth) {
        error = "--size " + text + ": choose a width from " + std::to_string(minWidth) + " to " +
                std::to_string(maxWidth);
        return false;
    }
    if (height < minHeight || height > maxHeight) {
        error = "--size " + text + ": choose a height from " + std::to_string(minHeight) + " to " +
                std::to_string(maxHeight);
        return false;
    }
    return true;
}

} // namespace

const char* usageText() {
    return usage;
}

bool parseOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error) {
    bool sawFrom = false, sawTo = false, sawFps = false, sawOut = false;
    for (int i = 1; i < argc; i++) {
        std::string flag = argv[i];
        std::string value;
        bool hasValue = false;
        // --flag=value is accepted as well as --flag value.
        const size_t equals = flag.find('=');
        if (flag.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = flag.substr(equals + 1);
            flag = flag.substr(0, equals);
            hasValue = true;
        }
        if (flag == "--help" || flag == "-h") {
            options.help = true;
            return true;
        }
        const bool takesValue = flag == "--at" || flag == "--from" || flag == "--to" ||
                                flag == "--fps" || flag == "--out" || flag == "--video" ||
                                flag == "--size";
        if (!takesValue) {
            error = "unknown argument \"" + flag + "\"";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = flag + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (flag == "--at") {
            double t = 0.0;
            if (!parseTime(flag, value, t, error)) return false;
            options.stillTimes.push_back(t);
        } else if (flag == "--from") {
            if (!parseTime(flag, value, options.from, error)) return false;
            sawFrom = true;
        } else if (flag == "--to") {
            if (!parseTime(flag, value, options.to, error)) return false;
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
        } else if (!parseSize(value, options.width, options.height, error)) {
            return false;
        }
    }

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
