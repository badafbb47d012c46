// Finishing the soundtrack: peak limiting, normalisation and MP3 encoding with
// LAME.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"

// Largest absolute sample of both channels.
float peakOf(const StereoBuffer& audio);
// Brings every peak above `threshold` down to it: the gain dips smoothly over
// a few milliseconds around the peak (no clipping) and recovers over ~80 ms.
void limitPeaks(StereoBuffer& audio, float threshold);
// Scales both channels so the peak lands at peakDbfs (e.g. -1.6). Silence stays.
void normalisePeak(StereoBuffer& audio, float peakDbfs);
// 44.1 kHz stereo, VBR (mtrh) at quality 2, about 190 kb/s, with the Xing/LAME
// header that gives decoders the exact length. False when LAME fails.
bool encodeMp3(const StereoBuffer& audio, std::vector<uint8_t>& mp3);
