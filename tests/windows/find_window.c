/* Run under Wine by the Windows tests beside the demo: finds a window by its
   class and title, and prints its rectangle and the display's current mode as
   "left top width height modeWidth modeHeight". Exits 1 when there is none. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: find-window CLASS TITLE\n");
        return 2;
    }
    HWND window = FindWindowA(argv[1], argv[2]);
    if (!window) return 1;
    RECT rect;
    GetWindowRect(window, &rect);
    DEVMODEA mode = {0};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    printf("%ld %ld %ld %ld %lu %lu\n", rect.left, rect.top, rect.right - rect.left,
           rect.bottom - rect.top, mode.dmPelsWidth, mode.dmPelsHeight);
    return 0;
}
