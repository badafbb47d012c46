// How long the picture generator takes for the whole set of 53 pictures, and
// how many bytes it writes. The generator as a whole must finish in under 30 s
// on two cores, with the pictures on one of them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "datagen.h"

namespace fs = std::filesystem;

static void BM_WriteAllPictures(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("quarnel-pictures-bench-" + std::to_string(getpid()));
    uintmax_t bytes = 0;
    int files = 0;
    for (auto _ : state) {
        fs::remove_all(dir);
        if (!writePictures(dir.string())) state.SkipWithError("writePictures failed");
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) bytes += entry.file_size(), ++files;
    state.counters["files"] = files;
    state.counters["kilobytes"] = static_cast<double>(bytes) / 1024.0;
    fs::remove_all(dir);
}
BENCHMARK(BM_WriteAllPictures)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
