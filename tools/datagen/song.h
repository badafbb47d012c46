// The soundtrack's score and mix: an electronic tune in A minor at 125 beats
// per minute, written as note events and rendered to a stereo buffer.
#pragma once

#include <vector>

#include "synth.h"

constexpr double songTempo = 125.0; // beats per minute, 4/4
constexpr double beatSeconds = 60.0 / songTempo;
constexpr double barSeconds = 4.0 * beatSeconds;
constexpr double stepSeconds = barSeconds / 16.0; // one sixteenth
// A one-second swell leads into bar 0, so the section changes fall near the
// demo's scene changes (music seconds 9, 30, 41, 51, 66).
constexpr double firstBarSeconds = 1.0;
constexpr int finalBar = 39; // the final hit; the tail rings on after it
constexpr double songSeconds = firstBarSeconds + finalBar * barSeconds + 4.4;

// Start of bar `bar` (counting from 0), in seconds.
constexpr double barStart(int bar) {
    return firstBarSeconds + bar * barSeconds;
}

// Every note of the track, in no particular order.
std::vector<NoteEvent> composeSong();
// Renders and mixes the events (mixdown.cpp): drums, bass and lead dry, the
// chords ducked under the kick, plus the echo. Not yet normalised;
// songSeconds long.
StereoBuffer renderSong(const std::vector<NoteEvent>& events);
// The start times of the kicks among the events, sorted.
std::vector<double> kickTimes(const std::vector<NoteEvent>& events);
