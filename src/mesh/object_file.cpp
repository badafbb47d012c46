#include "mesh/object_file.h"

#include <cstring>
#include <fstream>

static void putInt(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; i++) out.push_back(uint8_t(value >> (8 * i)));
}

static void putFloat(std::vector<uint8_t>& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putInt(out, bits);
}

std::vector<uint8_t> encodeObjectFile(const std::vector<ObjectMesh>& meshes) {
    std::vector<uint8_t> out;
    putInt(out, uint32_t(meshes.size()));
    for (const ObjectMesh& mesh : meshes) {
        putInt(out, uint32_t(mesh.vertices.size()));
        putInt(out, uint32_t(mesh.triangles.size()));
        putInt(out, uint32_t(mesh.ignoredBlock.size()));
        out.insert(out.end(), mesh.ignoredBlock.begin(), mesh.ignoredBlock.end());
        for (const ObjectVertex& v : mesh.vertices) {
            putFloat(out, v.x);
            putFloat(out, v.y);
            putFloat(out, v.z);
            putFloat(out, v.u);
            putFloat(out, v.v);
        }
        for (const auto& triangle : mesh.triangles)
            for (uint32_t corner : triangle) putInt(out, corner);
    }
    return out;
}

bool writeObjectFile(const std::string& path, const std::vector<ObjectMesh>& meshes) {
    std::vector<uint8_t> bytes = encodeObjectFile(meshes);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}
