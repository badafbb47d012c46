// The message loop: one event per turn, a frame whenever none waits.
#pragma once

// Opens the soundtrack, turns until the quit request, shuts the window down
// and returns the quit request's code.
int runMainLoop();
