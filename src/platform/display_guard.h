// Gives the desktop its display mode back however a run that switched it
// ends, a crash or kill -9 included: a guard process, holding its own
// connection to the display and the mode to go back to, restores that mode
// when the demo is gone without having said the desktop is as it was.
#pragma once

// Starts the guard and waits until it has noted the desktop's mode (on X11
// this program again, as a second process, ready in a few milliseconds):
// called only when the display is about to be switched. False when there is
// no guard (no way to reach the display, or on Windows itself, which needs
// none).
bool startDisplayGuard();
// Tells the guard that the desktop has its own mode (never switched, or given
// back): it ends without touching the display. Idempotent.
void releaseDisplayGuard();
// True when the command line is the one startDisplayGuard gives the guard;
// runDisplayGuard then runs it and returns its exit code.
bool isDisplayGuardCommand(int argc, char** argv);
int runDisplayGuard(int argc, char** argv);
// A hang-up (the terminal closed, the session ended) ends the run as a
// terminate request does, unless hang-ups were ignored when the demo started.
void endRunOnHangUp();
