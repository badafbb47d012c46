// The spectrum of 512 mono samples: Hann window, real FFT, linear magnitudes.
#include "audio/fft_bands.h"

#include <cmath>
#include <memory>
#include <type_traits>

#include <kissfft/kiss_fftr.h>

namespace {

struct FftrConfigFree {
    void operator()(kiss_fftr_cfg cfg) const { kiss_fftr_free(cfg); }
};
using FftrConfig = std::unique_ptr<std::remove_pointer_t<kiss_fftr_cfg>, FftrConfigFree>;

// The periodic Hann window, peak 1. Its sum over 512 points is exactly 256, so
// with the 2/512 scale a constant c reads |c| * 256 * 2 / 512 = |c| in band 0
// (the doubling makes up for the window's 0.5 DC gain; DC is not split between
// a positive and a negative frequency). A sine of amplitude a centred on band k
// has half its energy at +k: a * 256 / 2, times the window's 0.5 centre gain,
// times 2/512 = a / 2, and a / 4 in each neighbour (the window's -1/4 side
// lobes). So full scale reads 1.0 for a constant and 0.5 for a sine.
struct SpectrumTables {
    float window[spectrumInputSamples];
    SpectrumTables() {
        const double twoPi = 6.283185307179586;
        for (int n = 0; n < spectrumInputSamples; ++n)
            window[n] = float(0.5 - 0.5 * std::cos(twoPi * n / spectrumInputSamples));
    }
};

} // namespace

void computeSpectrum(const float* samples, float* magnitudes) {
    static const SpectrumTables tables;
    // kiss_fftr scribbles on scratch space inside its config, so each thread
    // that computes spectra gets one config, made on its first call.
    thread_local const FftrConfig config(
        kiss_fftr_alloc(spectrumInputSamples, 0, nullptr, nullptr));

    float windowed[spectrumInputSamples];
    for (int n = 0; n < spectrumInputSamples; ++n)
        windowed[n] = samples[n] * tables.window[n];

    kiss_fft_cpx bins[spectrumInputSamples / 2 + 1];
    kiss_fftr(config.get(), windowed, bins);

    const float scale = 2.0f / spectrumInputSamples;
    for (int k = 0; k < spectrumBands; ++k)
        magnitudes[k] = std::hypot(bins[k].r, bins[k].i) * scale;
}
