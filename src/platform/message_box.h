// Modal error boxes, behind one function that tests replace with a recorder.
#pragma once

struct SDL_Window;

// Shows a modal box with an error icon and an OK button (owner may be null)
// and returns when it is answered. The text also goes to standard error.
void showMessageBox(const char* text, const char* caption, SDL_Window* owner);

using MessageBoxHandler = void (*)(const char* text, const char* caption, SDL_Window* owner);
// Replaces the real box (null restores it).
void setMessageBoxHandler(MessageBoxHandler handler);
