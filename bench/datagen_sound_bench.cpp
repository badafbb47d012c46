// How long the soundtrack and the meshes take to generate. The soundtrack runs
// on one core beside the pictures and should finish, encoding included, in
// well under 25 s; the meshes are a matter of milliseconds.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "datagen.h"
#include "mp3_writer.h"
#include "song.h"

namespace fs = std::filesystem;

static fs::path scratchFolder(const char* name) {
    fs::path dir = fs::temp_directory_path() /
                   (std::string("quarnel-") + name + "-bench-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sound");
    fs::create_directories(dir / "objects");
    return dir;
}

// Composing and synthesising the 80-second mix, before any encoding.
static void BM_RenderSong(benchmark::State& state) {
    for (auto _ : state) {
        StereoBuffer mix = renderSong(composeSong());
        benchmark::DoNotOptimize(mix.left.data());
    }
    state.counters["audio_seconds"] = songSeconds;
}
BENCHMARK(BM_RenderSong)->Unit(benchmark::kMillisecond)->Iterations(2);

// Limiting, normalising and LAME encoding of an already rendered mix.
static void BM_FinishAndEncode(benchmark::State& state) {
    const StereoBuffer rendered = renderSong(composeSong());
    std::vector<uint8_t> mp3;
    for (auto _ : state) {
        StereoBuffer mix = rendered;
        limitPeaks(mix, 1.15f);
        normalisePeak(mix, -2.0f);
        if (!encodeMp3(mix, mp3)) state.SkipWithError("encodeMp3 failed");
    }
    state.counters["kilobytes"] = double(mp3.size()) / 1024.0;
    state.counters["kbit_per_s"] = double(mp3.size()) * 8.0 / 1000.0 / songSeconds;
}
BENCHMARK(BM_FinishAndEncode)->Unit(benchmark::kMillisecond)->Iterations(2);

// The whole of writeSoundtrack, as quarnel-datagen runs it on its own thread.
static void BM_WriteSoundtrack(benchmark::State& state) {
    const fs::path dir = scratchFolder("soundtrack");
    for (auto _ : state)
        if (!writeSoundtrack(dir.string())) state.SkipWithError("writeSoundtrack failed");
    state.counters["kilobytes"] = double(fs::file_size(dir / "sound" / "pokemon.mp3")) / 1024.0;
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteSoundtrack)->Unit(benchmark::kMillisecond)->Iterations(2);

static void BM_WriteMeshes(benchmark::State& state) {
    const fs::path dir = scratchFolder("meshes");
    for (auto _ : state)
        if (!writeMeshes(dir.string())) state.SkipWithError("writeMeshes failed");
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteMeshes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
