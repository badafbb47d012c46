#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#ifndef QUARNEL_VERSION
#define QUARNEL_VERSION "unknown"
#endif

// A window no smaller than this still gets a picture of a few pixels at least,
// and none larger than any OpenGL is asked to draw.
constexpr int smallestSide = 32;
constexpr int largestSide = 16384;
// The timeline asks to quit after this time.
constexpr double timelineEnd = 90.0;

const char* usageText() {
    return "Usage: quarnel [--window | --size WxH | --desktop] [--from SECONDS]\n"
           "  (no option)     full screen, switching the display to 640 x 480\n"
           "  --window        a 640 x 480 window; the display is left as it is\n"
           "  --size WxH      a window of W x H pixels, the picture drawn at that size\n"
           "  --desktop       full screen at the desktop's own resolution, no mode change\n"
           "  --from SECONDS  start the demo SECONDS in (0 to 90), the music with it\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

const char* versionText() {
    return "quarnel " QUARNEL_VERSION;
}

// Digits only: no sign, no spaces, no exponent.
static bool readSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    side = std::atoi(text.c_str());
    return side >= smallestSide && side <= largestSide;
}

static bool readSize(const std::string& text, int& width, int& height) {
    const size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) return false;
    return readSide(text.substr(0, cross), width) && readSide(text.substr(cross + 1), height);
}

// A plain decimal number of seconds: digits with at most one point.
static bool readSeconds(const std::string& text, double& seconds) {
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digits++;
        else if (c == '.')
            points++;
        else
            return false;
    }
    if (digits == 0 || points > 1) return false;
    seconds = std::strtod(text.c_str(), nullptr);
    return std::isfinite(seconds) && seconds >= 0.0 && seconds < timelineEnd;
}

ParsedOptions parseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    DemoOptions& options = parsed.options;
    bool window = false, size = false, desktop = false;
    for (int i = 1; i < argc; i++) {
        std::string name = argv[i] ? argv[i] : "";
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        const bool takesValue = name == "--size" || name == "--from";
        const bool known = takesValue || name == "--window" || name == "--desktop" ||
                           name == "--help" || name == "-h" || name == "--version";
        if (!known) {
            parsed.error = "unknown option '" + name + "'";
            return parsed;
        }
        if (!takesValue && hasValue) {
            parsed.error = name + " takes no value";
            return parsed;
        }
        if (takesValue && !hasValue) {
            if (i + 1 >= argc) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            value = argv[++i] ? argv[i] : "";
        }

        if (name == "--window") {
            window = true;
        } else if (name == "--size") {
            if (!readSize(value, options.width, options.height)) {
                parsed.error = "--size needs WxH, each side from " + std::to_string(smallestSide) +
                               " to " + std::to_string(largestSide) + " pixels, not '" + value +
                               "'";
                return parsed;
            }
            size = true;
        } else if (name == "--desktop") {
            desktop = true;
        } else if (name == "--from") {
            if (!readSeconds(value, options.from)) {
                parsed.error = "--from needs seconds from 0 to under 90, not '" + value + "'";
                return parsed;
            }
            options.startLate = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else {
            options.version = true;
        }
    }
    if (desktop && (window || size)) {
        parsed.error =
            std::string("--desktop cannot be combined with ") + (size ? "--size" : "--window");
        return parsed;
    }
    if (desktop) options.display = DisplayChoice::Desktop;
    if (window || size) options.display = DisplayChoice::Window;
    if (!size) {
        options.width = 640;
        options.height = 480;
    }
    return parsed;
}
