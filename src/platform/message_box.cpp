#include "platform/message_box.h"

#include <SDL.h>
#include <cstdio>

static MessageBoxHandler handler = nullptr;

void setMessageBoxHandler(MessageBoxHandler replacement) { handler = replacement; }

void showMessageBox(const char* text, const char* caption, SDL_Window* owner) {
    if (handler) {
        handler(text, caption, owner);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // With no display to show it on, the line above is all the user gets.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, owner);
}
