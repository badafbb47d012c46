// The demo: a window, everything loaded, then the timeline until it ends.
#include "app/main_loop.h"
#include "app/window.h"
#include "resources/demo_state.h"
#include "resources/load_resources.h"

int main() {
    // The pictures decode on other cores while the window and its context open.
    startPictureDecoding();
    SDL_Window* window = createMainWindow("Vormak - Quarnel", 640, 480, demo.fullScreen);
    if (!window) return 1;
    loadResources(window);
    return runMainLoop();
}
