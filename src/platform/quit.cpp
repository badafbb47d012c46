#include "platform/quit.h"

#include <SDL.h>

static QuitHandler handler = nullptr;

void setQuitHandler(QuitHandler replacement) { handler = replacement; }

unsigned quitEventType() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void postQuitMessage(int code) {
    if (handler) {
        handler(code);
        return;
    }
    SDL_Event event{};
    event.type = quitEventType();
    event.user.code = code;
    SDL_PushEvent(&event);
}
