// The spectrum of a whole decoded track at a position in it, for rendering
// without a live player: the same window of samples and the same spectrum
// function as the live fetch.
#pragma once

#include <vector>

// The 256 magnitudes of the sound heard `heardSeconds` after playback started,
// from a mono 44 100 Hz track: the 512 samples centred on the sample heard
// then, with silence before the start and after the end. Zeros for
// heardSeconds <= 0: the live fetch of the frame that starts the music runs
// before its play request, and earlier frames hear nothing.
void offlineSpectrum(const std::vector<float>& track, double heardSeconds, float* spectrum);
