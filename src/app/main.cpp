// The demo: the command line, a window, everything loaded, then the timeline
// until it ends.
#include <cstdio>

#include "app/main_loop.h"
#include "app/options.h"
#include "platform/display_guard.h"
#include "platform/window.h"
#include "resources/load_resources.h"

int main(int argc, char** argv) {
    if (isDisplayGuardCommand(argc, argv)) return runDisplayGuard(argc, argv);
    // The command line is read before anything opens, so a mistake in it
    // opens no window.
    const ParsedOptions parsed = parseOptions(argc, argv);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "quarnel: %s\n%s", parsed.error.c_str(), demoUsage().c_str());
        return 2;
    }
    const DemoOptions& options = parsed.options;
    if (options.help) {
        std::fputs(demoUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", versionText());
        return 0;
    }

    // The pictures decode on other cores while the window and its context open.
    startPictureDecoding();
    endRunOnHangUp();
    SDL_Window* window =
        createMainWindow("Vormak - Quarnel", options.display, options.width, options.height);
    if (!window) return 1;
    loadResources(window);
    return options.startLate ? runMainLoopFrom(options.from, options.vsync, options.loop)
                             : runMainLoop(options.vsync, options.loop);
}
