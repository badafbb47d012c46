// The soundtrack: an output device, one MP3 stream decoded as it plays, its
// spectrum, and a play request that starts it once.
#pragma once

#include <cstdint>

// Opens the output device (44 100 Hz, stereo). False when there is none; the
// run is then silent and everything else goes on.
bool openAudioDevice();
// Opens the MP3 file as a stopped stream; decoding happens as it plays.
// Returns the stream handle, 0 when the file is missing or undecodable.
uint32_t createMusicStream(const char* path);
// Writes the 256 magnitudes of the sound being heard now into spectrum
// (lowest band first). Does nothing for handle 0.
void fetchSpectrum(uint32_t stream, float* spectrum);
// The first call starts the stream from its beginning; later calls change
// nothing. Does nothing for handle 0.
void playMusic(uint32_t stream);
// Starts the stream `seconds` into its sound, as if it had been playing that
// long; past its end nothing is heard. False, and nothing plays, for handle 0
// or a stream the decoder cannot move in.
bool playMusicFrom(uint32_t stream, double seconds);
// Stops the stream and puts it back at its beginning, as it was opened: the
// next playMusic starts it from there. False, with the stream stopped, for
// handle 0 or a stream the decoder cannot move in.
bool rewindMusic(uint32_t stream);
// Stops the device and releases the stream.
void closeAudio();
