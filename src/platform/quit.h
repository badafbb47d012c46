// The quit request: an event carrying its exit code, at the back of the queue.
#pragma once

// Posts the quit request; may be called before the window exists.
void postQuitMessage(int code);
// The event type of the quit request, for the main loop.
unsigned quitEventType();

using QuitHandler = void (*)(int code);
// Replaces posting with a recorder (null restores it), for tests.
void setQuitHandler(QuitHandler handler);
