// The message loop: one event per turn, a frame whenever none waits.
#pragma once

#include <cstdint>

// Opens the soundtrack, turns until the quit request, shuts the window down
// and returns the quit request's code. With vsync, frames come once a
// display refresh: the swaps wait for the vertical blank, or where they do
// not, the loop waits before each frame; without, as fast as the swap returns.
// When looping, the timeline and its music start again from 0 at their end,
// each pass drawn as the first, and only the quit request (Escape, the close
// request) ends the run.
int runMainLoop(bool vsync, bool looping);
// The same with the timeline starting at demo time `from` as the loop
// starts, as if the run had played up to there: the OpenGL state its frames
// would have left, and the music as far in as `from` is past its start
// (timelineMusicStart) when it has begun.
int runMainLoopFrom(double from, bool vsync, bool looping);

// The music of a run that starts at demo time `from`, with the soundtrack
// open: as far in as `from` is past the music's start, when it has begun. When the
// soundtrack cannot be moved there, standard error says so and the run plays
// without music (musicStream 0).
void startMusicAt(double from);
using MusicSeek = bool (*)(uint32_t stream, double seconds);
// Replaces the seek startMusicAt makes (playMusicFrom) with another, for
// tests; null restores it.
void setMusicSeek(MusicSeek seek);
