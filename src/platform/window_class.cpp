#include "platform/window_class.h"

#include <SDL.h>

#ifdef _WIN32
#include <windows.h>
#endif

void nameWindowClass(const char* name) {
#ifdef _WIN32
    // SDL registers its window class once; registered first under our name,
    // with the private device context OpenGL needs, it is the one SDL uses.
    SDL_RegisterApp(name, CS_BYTEALIGNCLIENT | CS_OWNDC, nullptr);
#else
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", name, 0);
#endif
}
