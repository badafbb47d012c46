// Start-up cost of the object files: reading a ball-sized and a tube-sized
// file, and the normals pass the wobble repeats every frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mesh/object_file.h"
#include "mesh/tegn3d.h"

// A (rings + 1) x (segments + 1) grid wrapped into a sphere of radius 1, or
// into an open tube of radius 1 and length 4 along z.
static ObjectMesh gridMesh(int rings, int segments, bool tube) {
    const double pi = 3.14159265358979323846;
    ObjectMesh mesh;
    for (int r = 0; r <= rings; r++)
        for (int s = 0; s <= segments; s++) {
            const double around = 2 * pi * s / segments, polar = pi * r / rings;
            const float u = float(s) / segments, v = float(r) / rings;
            if (tube)
                mesh.vertices.push_back({float(std::cos(around)), float(std::sin(around)),
                                         float(4.0 * r / rings - 2.0), u, v});
            else
                mesh.vertices.push_back({float(std::sin(polar) * std::cos(around)),
                                         float(std::cos(polar)),
                                         float(std::sin(polar) * std::sin(around)), u, v});
        }
    const uint32_t row = uint32_t(segments + 1);
    for (uint32_t r = 0; r < uint32_t(rings); r++)
        for (uint32_t s = 0; s < uint32_t(segments); s++) {
            const uint32_t a = r * row + s;
            mesh.triangles.push_back({a, a + row, a + 1});
            mesh.triangles.push_back({a + 1, a + row, a + row + 1});
        }
    return mesh;
}

// The two files, written once into a folder that goes away at exit.
struct BenchFiles {
    std::string dir, sphere, tube;
    BenchFiles() {
        char name[] = "/tmp/quarnel-bench-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        dir = name;
        sphere = dir + "/kule.ebr";
        tube = dir + "/tunnel.ebr";
        // 41 x 73 = 2993 vertices and 5760 triangles each.
        if (!writeObjectFile(sphere, {gridMesh(40, 72, false)}) ||
            !writeObjectFile(tube, {gridMesh(40, 72, true)}))
            std::abort();
    }
    ~BenchFiles() { std::filesystem::remove_all(dir); }
};

static const BenchFiles& files() {
    static BenchFiles made;
    return made;
}

static void loadFile(benchmark::State& state, const std::string& path) {
    tegn3d model;
    for (auto _ : state) {
        if (!model.loadFromFile(path.c_str())) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(model.meshes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(std::filesystem::file_size(path)));
    state.counters["vertices"] = model.meshes[0]->vertexCount;
}

static void BM_LoadSphere(benchmark::State& state) {
    loadFile(state, files().sphere);
}
static void BM_LoadTube(benchmark::State& state) {
    loadFile(state, files().tube);
}

static void BM_ComputeNormalsSphere(benchmark::State& state) {
    tegn3d model;
    if (!model.loadFromFile(files().sphere.c_str())) std::abort();
    Mesh& mesh = *model.meshes[0];
    for (auto _ : state) {
        mesh.computeNormals();
        benchmark::DoNotOptimize(mesh.normals);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * mesh.triangleCount);
}

BENCHMARK(BM_LoadSphere)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTube)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeNormalsSphere)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
