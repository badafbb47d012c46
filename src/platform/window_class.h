// The class name of the demo's window, which X11 and Windows take differently.
#pragma once

// Names the class of the windows SDL creates; call before SDL_Init.
void nameWindowClass(const char* name);
