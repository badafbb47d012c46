// What the scene benchmarks share: flat pictures shaped like the loaders'
// textures, and the timed loop of one scene at a fixed moment.
#pragma once

#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>
#include <vector>

#include "app/timeline.h"

// A JPEG picture as the loader makes it: RGB, the whole mip-map chain.
inline uint32_t jpegLike(int size, uint8_t shade) {
    std::vector<uint8_t> texels(size_t(size) * size * 3, shade);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, size, size, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    return name;
}

// A PNG picture as the binder makes it: RGBA, no mip-maps, linear filters.
inline uint32_t pngLike(int size, uint8_t shade, uint8_t alpha) {
    std::vector<uint8_t> texels(size_t(size) * size * 4, shade);
    for (size_t i = 3; i < texels.size(); i += 4)
        texels[i] = alpha;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return name;
}

// Frames of one scene at demo time t, each finished before the next. The
// renderer draws on threads of its own, so rates are per wall-clock second.
inline void timeSceneFrames(benchmark::State& state, void (*scene)(), float t) {
    for (auto _ : state) {
        setClocks(t);
        scene();
        glFinish();
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
