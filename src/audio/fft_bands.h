// The one spectrum function shared by the live player and the capture tool.
#pragma once

constexpr int spectrumInputSamples = 512;
constexpr int spectrumBands = 256;

// 512 mono samples in [-1, 1] to 256 magnitudes: Hann window, real FFT,
// |X[k]| * 2 / 512. A full-scale constant reads 1.0 in band 0, a full-scale
// sine centred on band k reads 0.5 there, silence reads 0.
void computeSpectrum(const float* samples, float* magnitudes);
