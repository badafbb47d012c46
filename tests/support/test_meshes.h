// Small meshes made in code for the scene tests and benchmarks, sized as the
// object-file reader sizes them.
#pragma once

#include <cmath>
#include <vector>

#include "mesh/tegn3d.h"

// A mesh with the given positions and triangles, every texture coordinate uv
// and every normal (0, 0, 0).
inline Mesh* makeMesh(const std::vector<Vec3>& positions, const std::vector<Triangle>& triangles,
                      TexCoord uv = {0.5f, 0.5f}) {
    Mesh* mesh = new Mesh;
    const int32_t n = int32_t(positions.size());
    mesh->resize(n, int32_t(triangles.size()));
    for (int32_t i = 0; i < n; ++i) {
        mesh->vertices[i] = positions[i];
        mesh->texCoords[i] = uv;
    }
    for (size_t f = 0; f < triangles.size(); ++f)
        mesh->triangles[f] = triangles[f];
    return mesh;
}

// Appends a mesh to a container, which then owns it.
inline void addMesh(tegn3d& model, Mesh* mesh) {
    model.adopt(std::unique_ptr<Mesh>(mesh));
}

// Deletes the container's meshes and leaves it empty, as a new one is.
inline void clearModel(tegn3d& model) {
    model.clear();
}

// A rings x segments grid wrapped around an axis: a sphere of the given radius
// when tube is false, otherwise an open tube of that radius and length along z.
inline Mesh* makeGridMesh(int rings, int segments, float radius, bool tube, float length = 0.0f) {
    std::vector<Vec3> positions;
    std::vector<Triangle> triangles;
    const double pi = 3.14159265358979323846;
    for (int r = 0; r <= rings; ++r) {
        for (int s = 0; s <= segments; ++s) {
            const double around = 2.0 * pi * s / segments;
            if (tube) {
                positions.emplace_back(float(radius * std::cos(around)),
                                       float(radius * std::sin(around)),
                                       float(length * (double(r) / rings - 0.5)));
            } else {
                const double polar = pi * r / rings;
                positions.emplace_back(float(radius * std::sin(polar) * std::cos(around)),
                                       float(radius * std::cos(polar)),
                                       float(radius * std::sin(polar) * std::sin(around)));
            }
        }
    }
    const uint32_t row = uint32_t(segments + 1);
    for (uint32_t r = 0; r < uint32_t(rings); ++r) {
        for (uint32_t s = 0; s < uint32_t(segments); ++s) {
            const uint32_t a = r * row + s, b = a + 1, c = a + row, d = c + 1;
            triangles.push_back(Triangle{{a, c, b}});
            triangles.push_back(Triangle{{b, c, d}});
        }
    }
    return makeMesh(positions, triangles);
}
