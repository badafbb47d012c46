// The spectrum per call, opening the soundtrack stream (which must not decode
// the file), one device callback's worth of decoding, and a full decode for scale.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/decode.h"
#include "audio/music.h"
#include "audio/pulled_device.h"
#include "audio/fft_bands.h"
#include "mp3_files.h"

namespace {

const int rate = 44100;

double zeroClock() {
    return 0.0;
}

// An 80-second stereo MP3 with a bass line and a melody, made once.
const std::string& longMp3() {
    static const std::string path = [] {
        const std::string p = "/tmp/quarnel_fft_bands_bench_80s.mp3";
        const int frames = 80 * rate;
        std::vector<float> stereo(2 * size_t(frames));
        for (int i = 0; i < frames; ++i) {
            const double t = double(i) / rate;
            const double bass =
                0.4 * std::sin(6.283185307179586 * 55.0 * t) * std::exp(-8.0 * std::fmod(t, 0.5));
            const double melody = 0.2 * std::sin(6.283185307179586 * (440.0 + 110.0 * int(t)) * t);
            stereo[2 * size_t(i)] = float(bass + melody);
            stereo[2 * size_t(i) + 1] = float(bass - melody);
        }
        if (!writeTestMp3(p, stereo, rate, 2)) std::fprintf(stderr, "cannot write %s\n", p.c_str());
        return p;
    }();
    return path;
}

void BM_ComputeSpectrum(benchmark::State& state) {
    std::vector<float> samples(spectrumInputSamples), bands(spectrumBands);
    for (int n = 0; n < spectrumInputSamples; ++n)
        samples[n] = float(std::sin(0.05 * n) + 0.3 * std::sin(1.3 * n));
    for (auto _ : state) {
        computeSpectrum(samples.data(), bands.data());
        benchmark::DoNotOptimize(bands.data());
    }
}
BENCHMARK(BM_ComputeSpectrum);

void BM_CreateMusicStream80s(benchmark::State& state) {
    const std::string& path = longMp3();
    for (auto _ : state) {
        state.PauseTiming();
        openPulledAudioDevice(zeroClock);
        state.ResumeTiming();
        const uint32_t stream = createMusicStream(path.c_str());
        benchmark::DoNotOptimize(stream);
        state.PauseTiming();
        if (stream == 0) state.SkipWithError("stream not created");
        closeAudio();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateMusicStream80s)->Unit(benchmark::kMicrosecond);

// What the audio thread spends per 1024-frame callback (23 ms of sound).
void BM_DeviceCallback(benchmark::State& state) {
    const std::string& path = longMp3();
    openPulledAudioDevice(zeroClock);
    uint32_t stream = createMusicStream(path.c_str());
    playMusic(stream);
    std::vector<float> out(2 * 1024);
    int pulled = 0;
    for (auto _ : state) {
        if (++pulled * 1024 > 79 * rate) { // start over before the file ends
            state.PauseTiming();
            closeAudio();
            openPulledAudioDevice(zeroClock);
            stream = createMusicStream(path.c_str());
            playMusic(stream);
            pulled = 0;
            state.ResumeTiming();
        }
        pullAudio(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    closeAudio();
}
BENCHMARK(BM_DeviceCallback)->Unit(benchmark::kMicrosecond);

void BM_FetchSpectrum(benchmark::State& state) {
    openPulledAudioDevice(zeroClock);
    const uint32_t stream = createMusicStream(longMp3().c_str());
    playMusic(stream);
    std::vector<float> out(2 * 1024), bands(512);
    pullAudio(out.data(), 1024);
    for (auto _ : state) {
        fetchSpectrum(stream, bands.data());
        benchmark::DoNotOptimize(bands.data());
    }
    closeAudio();
}
BENCHMARK(BM_FetchSpectrum);

// For scale: what decoding the whole file up front would cost.
void BM_DecodeWholeFile80s(benchmark::State& state) {
    std::vector<float> mono;
    for (auto _ : state) {
        if (!decodeMonoFile(longMp3(), mono)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(mono.data());
    }
    state.counters["frames"] = double(mono.size());
}
BENCHMARK(BM_DecodeWholeFile80s)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
