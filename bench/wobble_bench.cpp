// CPU time of what the wobble scene repeats every frame on the generated
// ball (the wobble, then the normals), and of loading each object file of the
// data set. The wobble is timed on the clock (it uses two threads); its CPU
// column counts both. Run it from the folder that holds data/.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "mesh/tegn3d.h"
#include "scenes/wobble.h"

// The ball as start-up leaves it: scaled, with normals.
struct Ball {
    tegn3d rest, bent;
    Ball() {
        if (!rest.loadFromFile("data/objects/kule.ebr") ||
            !bent.loadFromFile("data/objects/kule.ebr") || rest.meshCount < 1)
            std::abort();
        for (tegn3d* model : {&rest, &bent}) {
            model->meshes[0]->scale(0.15f);
            model->meshes[0]->computeNormals();
        }
    }
};

static void BM_WobbleAndNormals(benchmark::State& state) {
    static Ball ball;
    Mesh& rest = *ball.rest.meshes[0];
    Mesh& bent = *ball.bent.meshes[0];
    float t = 65.0f;
    for (auto _ : state) {
        wobbleBall(rest, bent, t);
        bent.computeNormals();
        benchmark::ClobberMemory();
        t += 1.0f / 60.0f;
    }
    state.counters["vertices"] = rest.vertexCount;
    state.counters["triangles"] = rest.triangleCount;
}

static void BM_LoadObjectFile(benchmark::State& state, const char* path) {
    for (auto _ : state) {
        tegn3d model;
        if (!model.loadFromFile(path)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(model.meshes.data());
    }
}

BENCHMARK(BM_WobbleAndNormals)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_LoadObjectFile, tunnel, "data/objects/tunnel.ebr")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_LoadObjectFile, bicube, "data/objects/bicube.ebr")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_LoadObjectFile, kube2, "data/objects/kube2.ebr")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_LoadObjectFile, kule, "data/objects/kule.ebr")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_MAIN();
