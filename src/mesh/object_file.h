// Writing object files (.ebr), for the data-set generator and the tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One vertex record as stored: the reader turns u into 1 - u.
struct ObjectVertex {
    float x, y, z;
    float u, v;
};

struct ObjectMesh {
    std::vector<ObjectVertex> vertices;
    std::vector<std::array<uint32_t, 3>> triangles;
    std::vector<uint8_t> ignoredBlock; // the MFcnt bytes, skipped by the reader
};

// The whole file as bytes, little-endian.
std::vector<uint8_t> encodeObjectFile(const std::vector<ObjectMesh>& meshes);
// Writes the file; false when it cannot be written.
bool writeObjectFile(const std::string& path, const std::vector<ObjectMesh>& meshes);
