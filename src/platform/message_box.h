// Modal error boxes, behind one function that tests replace with a recorder.
#pragma once

struct SDL_Window;

// Shows a modal box with an error icon and an OK button (owner may be null)
// and returns when it is answered. The text also goes to standard error, and
// so does the reason when the box cannot be shown; the run then goes on as if
// it had been answered. True when the caller goes on as after an answer.
//
// A signal (SIGINT, SIGTERM) or a close request on the box while it is up
// closes it and ends the run: the quit is posted with 0, the result is false,
// and the caller does what an answer would have led to (an exit with its own
// code, or nothing, as the main loop leaves before drawing). From then on no
// box is shown, only its text written.
bool showMessageBox(const char* text, const char* caption, SDL_Window* owner);

using MessageBoxHandler = void (*)(const char* text, const char* caption, SDL_Window* owner);
// Replaces the real box (null restores it).
void setMessageBoxHandler(MessageBoxHandler handler);
