// Gives the desktop its display mode back however a run that switched it
// ends, a crash or kill -9 included: a guard process, holding its own
// connection to the display and the mode to go back to, restores that mode
// when the demo is gone without having said the desktop is as it was.
//
// One run at a time holds a display's mode: on X11 the guard owns a
// selection for as long as its run may have the display switched (the
// server drops it when the guard is gone, however it ends), and a second
// run that finds it owned switches nothing.
#pragma once

// What startDisplayGuard found.
enum class GuardAnswer {
    Holding,       // a guard noted the desktop's mode and holds it for this run
    HeldElsewhere, // another run holds this display's mode: switch nothing
    Unguarded,     // no guard (no way to reach the display, or Windows itself, which needs none)
};

// Starts the guard and waits until it has noted the desktop's mode (on X11
// this program again, as a second process, ready in a few milliseconds):
// called just before the display would be switched, with the centre of the
// window that goes full screen. The display showing that point is the one
// switched: on X11, after a crash, the guard puts back only that one (and
// the screen's size), not, say, a monitor plugged in during the run.
GuardAnswer startDisplayGuard(int centreX, int centreY);
// Tells the guard that the desktop has its own mode (never switched, or given
// back): it ends without touching the display, and the demo reaps it.
// Idempotent.
void releaseDisplayGuard();
// True when the command line is the one startDisplayGuard gives the guard;
// runDisplayGuard then runs it and returns its exit code.
bool isDisplayGuardCommand(int argc, char** argv);
int runDisplayGuard(int argc, char** argv);
// A hang-up (the terminal closed, the session ended) ends the run as a
// terminate request does, unless hang-ups were ignored when the demo started.
void endRunOnHangUp();
