// A page never changes the display's mode and has no terminal to hang up:
// there is nothing to guard.
#include "platform/display_guard.h"

GuardAnswer startDisplayGuard(int, int) {
    return GuardAnswer::Unguarded;
}

void releaseDisplayGuard() {}

bool isDisplayGuardCommand(int, char**) {
    return false;
}

int runDisplayGuard(int, char**) {
    return 2;
}

void endRunOnHangUp() {}
