#include "app/main_loop.h"

#include <SDL.h>

#include "app/timeline.h"
#include "app/window.h"
#include "audio/music.h"
#include "platform/quit.h"
#include "resources/demo_state.h"

int runMainLoop() {
    openAudioDevice();
    demo.musicStream = createMusicStream("data/sound/pokemon.mp3");

    int exitCode = 0;
    for (;;) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if (event.type == quitEventType()) {
                exitCode = event.user.code;
                break;
            }
            windowProc(event);
        } else {
            renderFrame(); // the swap is the loop's only pacing
        }
    }
    shutdownWindow();
    closeAudio();
    return exitCode;
}
