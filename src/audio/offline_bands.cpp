// Spectrum of a decoded track at a heard position.
#include "audio/offline_bands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "audio/mp3_reader.h"
#include "audio/fft_bands.h"

void offlineSpectrum(const std::vector<float>& track, double heardSeconds, float* spectrum) {
    if (!(heardSeconds > 0.0)) {
        std::fill(spectrum, spectrum + spectrumBands, 0.0f);
        return;
    }
    // The live fetch truncates the heard position to a whole sample and
    // centres its window there.
    const int64_t heard = int64_t(heardSeconds * outputRate);
    const int64_t first = heard - spectrumInputSamples / 2;
    float window[spectrumInputSamples];
    for (int i = 0; i < spectrumInputSamples; ++i) {
        const int64_t sample = first + i;
        window[i] = sample >= 0 && sample < int64_t(track.size()) ? track[size_t(sample)] : 0.0f;
    }
    computeSpectrum(window, spectrum);
}
