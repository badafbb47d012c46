// MP3 files made by the tests themselves, encoded with libmp3lame.
#pragma once

#include <string>
#include <vector>

// Encodes interleaved samples in [-1, 1] (channels 1 or 2, any MP3 rate) at
// `path`, with the encoder's delay and padding recorded so that a gapless
// decoder returns exactly the samples given. With `id3Tags` the file gets an
// ID3v2 tag in front and an ID3v1 tag behind. False when encoding fails.
bool writeTestMp3(const std::string& path, const std::vector<float>& samples, int rate,
                  int channels, bool id3Tags = false);

// Mono test signals at `rate`: a sine of `hz` at `amplitude` for `seconds`.
std::vector<float> sineWave(double hz, double amplitude, double seconds, int rate);
