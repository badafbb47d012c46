#include "app/options.h"

#include <vector>

#include "app/command_line.h"

// The build passes these from one place (cmake/product.cmake).
#ifndef QUARNEL_VERSION
#define QUARNEL_VERSION "unknown"
#define QUARNEL_MAKER "unknown"
#define QUARNEL_DESCRIPTION "Quarnel"
#define QUARNEL_COPYRIGHT ""
#endif

// Every option the demo understands. A new one is a row here, a field in
// DemoOptions, a branch in parseOptions and a line in demoUsage.
static const std::vector<OptionName> demoOptionNames = {
    {"--window", false}, {"--size", true},      {"--desktop", false},
    {"--from", true},    {"--no-vsync", false}, {"--loop", false},
    {"--help", false},   {"-h", false},         {"--version", false},
};

std::string demoUsage() {
    return "Usage: quarnel [--window | --size WxH | --desktop] [--from SECONDS] [--no-vsync]\n"
           "               [--loop]\n"
           "  (no option)     full screen, switching the display to 640 x 480\n"
           "  --window        a 640 x 480 window; the display is left as it is\n"
           "  --size WxH      a window of W x H pixels, the picture drawn at that size\n"
           "  --desktop       full screen at the desktop's own resolution, no mode change\n"
           "  --from SECONDS  start the demo SECONDS in " +
           fromRangeText() +
           ", the music with it\n"
           "  --no-vsync      draw frames as fast as they go, not once a display refresh\n"
           "  --loop          start again from 0 at the end, the music with it, until Escape\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

const char* versionText() {
    // The same facts as the Windows program's version resource.
    return "quarnel " QUARNEL_VERSION "\n" QUARNEL_DESCRIPTION " by " QUARNEL_MAKER
           "\n" QUARNEL_COPYRIGHT;
}

ParsedOptions parseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    DemoOptions& options = parsed.options;
    bool window = false, size = false, desktop = false;
    OptionWalk walk{argc, argv};
    std::string name, value;
    while (nextOption(walk, demoOptionNames, name, value, parsed.error)) {
        if (name == "--window") {
            window = true;
        } else if (name == "--size") {
            if (!readSizeOption(value, options.width, options.height, parsed.error)) return parsed;
            size = true;
        } else if (name == "--desktop") {
            desktop = true;
        } else if (name == "--from") {
            if (!readFromOption(value, options.from, parsed.error)) return parsed;
            options.startLate = true;
        } else if (name == "--no-vsync") {
            options.vsync = false;
        } else if (name == "--loop") {
            options.loop = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        }
    }
    if (!parsed.error.empty()) return parsed;
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
