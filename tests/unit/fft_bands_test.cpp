// The spectrum's readings for signals whose bands are known exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/fft_bands.h"

namespace {

const double twoPi = 6.283185307179586;

std::vector<float> spectrumOf(const std::vector<float>& samples) {
    std::vector<float> bands(spectrumBands, -1.0f);
    computeSpectrum(samples.data(), bands.data());
    return bands;
}

std::vector<float> sine(double cyclesPerWindow, double amplitude, double phase = 0.0) {
    std::vector<float> s(spectrumInputSamples);
    for (int n = 0; n < spectrumInputSamples; ++n)
        s[n] =
            float(amplitude * std::sin(twoPi * cyclesPerWindow * n / spectrumInputSamples + phase));
    return s;
}

TEST(Spectrum, SilenceReadsZeroEverywhere) {
    for (float band : spectrumOf(std::vector<float>(spectrumInputSamples, 0.0f)))
        EXPECT_EQ(band, 0.0f);
}

TEST(Spectrum, ConstantReadsItsLevelInBandZero) {
    std::vector<float> bands = spectrumOf(std::vector<float>(spectrumInputSamples, 1.0f));
    EXPECT_NEAR(bands[0], 1.0f, 1e-5);
    EXPECT_NEAR(bands[1], 0.5f, 1e-5); // the window's own side lobe
    for (int k = 2; k < spectrumBands; ++k)
        EXPECT_NEAR(bands[k], 0.0f, 1e-5) << k;

    // Magnitudes: a negative level reads positive.
    bands = spectrumOf(std::vector<float>(spectrumInputSamples, -0.25f));
    EXPECT_NEAR(bands[0], 0.25f, 1e-5);
}

TEST(Spectrum, SineCentredOnABandReadsHalfThereAndAQuarterBeside) {
    // (Band 1 is left out: its lower neighbour, band 0, also takes the side
    // lobe of the negative frequency.)
    for (int k : {2, 10, 100, 254}) {
        for (double phase : {0.0, 1.0, twoPi / 4}) {
            const std::vector<float> bands = spectrumOf(sine(k, 1.0, phase));
            EXPECT_NEAR(bands[k], 0.5f, 1e-4) << k;
            EXPECT_NEAR(bands[k - 1], 0.25f, 1e-4) << k;
            EXPECT_NEAR(bands[k + 1], 0.25f, 1e-4) << k;
            for (int j = 0; j < spectrumBands; ++j) {
                if (std::abs(j - k) > 1) {
                    EXPECT_LT(bands[j], 1e-4) << k << " " << j;
                }
            }
        }
    }
    // Linear in the amplitude.
    EXPECT_NEAR(spectrumOf(sine(20, 0.1))[20], 0.05f, 1e-5);
}

TEST(Spectrum, BassLandsInBandZeroAndTrebleDoesNot) {
    // Bands are 44100 / 512 = 86.13 Hz apart, so a window holds less than half
    // a period of 40 Hz and its reading swings with the phase: over a period,
    // band 0 carries the most and nothing reaches past band 2.
    const double samplesPerSecond = 44100.0;
    const int phases = 16;
    std::vector<double> mean(spectrumBands, 0.0);
    for (int p = 0; p < phases; ++p) {
        const double phase = twoPi * p / phases;
        const std::vector<float> bass =
            spectrumOf(sine(40.0 * spectrumInputSamples / samplesPerSecond, 1.0, phase));
        for (int k = 0; k < spectrumBands; ++k)
            mean[k] += bass[k] / phases;
        for (int k = 3; k < spectrumBands; ++k)
            EXPECT_LT(bass[k], 0.02f) << phase << " " << k;

        const std::vector<float> treble =
            spectrumOf(sine(1000.0 * spectrumInputSamples / samplesPerSecond, 1.0, phase));
        EXPECT_LT(treble[0], 0.01f) << phase;
    }
    EXPECT_GT(mean[0], 0.5);
    EXPECT_GT(mean[0], mean[1] + 0.1);
    EXPECT_GT(mean[1], mean[2]);
}

} // namespace
