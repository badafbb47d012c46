// The web build's soundtrack, beyond what every build's music.h offers.
#pragma once

// The 256 magnitudes a frame at demo time t uses when drawn offscreen, the
// way the capture tool draws its stills: the music taken to start on the
// first 60 fps grid frame after it opens (zeros before, or with no soundtrack).
void spectrumForStill(float t, float* spectrum);

// Whether the soundtrack was started in this run (heard yet or not).
bool musicStarted();
