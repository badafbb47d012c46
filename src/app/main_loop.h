// The message loop: one event per turn, a frame whenever none waits.
#pragma once

// Opens the soundtrack, turns until the quit request, shuts the window down
// and returns the quit request's code.
int runMainLoop();
// The same with the timeline starting at demo time `from` as the loop
// starts, as if the run had played up to there: the OpenGL state its frames
// would have left, and the music `from` - 14 seconds in when it has begun.
int runMainLoopFrom(double from);
