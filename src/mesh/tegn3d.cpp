// The model container: reads an object file (.ebr) into meshes and draws them.
#include "mesh/tegn3d.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/message_box.h"

tegn3d::~tegn3d() {
    clear();
}

void tegn3d::clear() {
    for (Mesh* mesh : meshes)
        delete mesh;
    meshes.clear();
    meshCount = 0;
}

void tegn3d::adopt(std::unique_ptr<Mesh> mesh) {
    meshes.push_back(mesh.release());
    meshCount = int32_t(meshes.size());
}

// The whole file in memory; false when it cannot be opened or read in full.
static bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    // A folder opens, but its "length" is no length.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* ebr = std::fopen(path, "rb");
    if (!ebr) return false;
    bool ok = std::fseek(ebr, 0, SEEK_END) == 0;
    long length = ok ? std::ftell(ebr) : -1;
    ok = length >= 0 && std::fseek(ebr, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(size_t(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), ebr) == bytes.size();
    }
    std::fclose(ebr);
    return ok;
}

static uint32_t wordAt(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A bounds-checked little-endian reader over the file's bytes.
struct ByteReader {
    const uint8_t* at;
    const uint8_t* end;

    uint64_t left() const { return uint64_t(end - at); }
    bool readInt(int32_t& value) {
        if (left() < 4) return false;
        value = int32_t(wordAt(at));
        at += 4;
        return true;
    }
};

static float floatAt(const uint8_t* p) {
    uint32_t bits = wordAt(p);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// One mesh block. Every count is checked against the bytes that are left
// before anything is allocated, and every corner against the vertex count.
static std::unique_ptr<Mesh> parseMesh(ByteReader& in) {
    int32_t vertexcnt, trianglecnt, MFcnt;
    if (!in.readInt(vertexcnt) || !in.readInt(trianglecnt) || !in.readInt(MFcnt)) return nullptr;
    if (vertexcnt < 0 || trianglecnt < 0 || MFcnt < 0) return nullptr;
    // At most 2^31 * 32 bytes: no overflow in 64 bits.
    const uint64_t blockBytes =
        uint64_t(MFcnt) + 20 * uint64_t(vertexcnt) + 12 * uint64_t(trianglecnt);
    if (blockBytes > in.left()) return nullptr;
    in.at += MFcnt; // ignored block

    const uint8_t* tempvert = in.at;
    const uint8_t* temptri = in.at + 20 * size_t(vertexcnt);
    for (int32_t l = 0; l < trianglecnt; l++)
        for (int corner = 0; corner < 3; corner++)
            if (wordAt(temptri + 12 * size_t(l) + 4 * corner) >= uint32_t(vertexcnt))
                return nullptr;

    auto mesh = std::make_unique<Mesh>();
    mesh->resize(vertexcnt, trianglecnt);

    for (int32_t k = 0; k < vertexcnt; k++, tempvert += 20) {
        mesh->vertices[k] = Vec3(floatAt(tempvert), floatAt(tempvert + 4), floatAt(tempvert + 8));
        // The first texture coordinate is stored mirrored.
        mesh->texCoords[k].s = 1.0f - floatAt(tempvert + 12);
        mesh->texCoords[k].t = floatAt(tempvert + 16);
    }
    for (int32_t l = 0; l < trianglecnt; l++, temptri += 12)
        for (int corner = 0; corner < 3; corner++)
            mesh->triangles[l].corner[corner] = wordAt(temptri + 4 * corner);

    in.at = temptri;
    return mesh;
}

// The whole file is parsed into new meshes first; false when it is malformed.
static bool parseObjectFile(const uint8_t* data, size_t size, int32_t& meshcnt,
                            std::vector<std::unique_ptr<Mesh>>& parsed) {
    ByteReader in{data, data + size};
    meshcnt = 0;
    // Each mesh block has a 12-byte header, which bounds the count.
    bool ok = in.readInt(meshcnt) && meshcnt >= 0 && uint64_t(meshcnt) * 12 <= in.left();
    if (ok) parsed.reserve(size_t(meshcnt));
    for (int32_t j = 0; ok && j < meshcnt; j++) {
        parsed.push_back(parseMesh(in));
        ok = parsed.back() != nullptr;
    }
    // Bytes after the last mesh block are never read.
    return ok;
}

// The container changes only when the whole file was good; it then holds the
// file's meshcnt meshes, one per parsed block.
static bool takeParsed(tegn3d& model, bool ok, std::vector<std::unique_ptr<Mesh>>& parsed) {
    if (!ok) {
        showMessageBox("Unable to open object file", "tegn3d::loadFromFile", nullptr);
        return false;
    }
    model.clear();
    for (auto& mesh : parsed)
        model.adopt(std::move(mesh));
    return true;
}

bool tegn3d::loadFromFile(const char* path) {
    std::vector<uint8_t> bytes;
    std::vector<std::unique_ptr<Mesh>> parsed;
    int32_t meshcnt = 0;
    bool ok = path && readWholeFile(path, bytes) &&
              parseObjectFile(bytes.data(), bytes.size(), meshcnt, parsed);
    return takeParsed(*this, ok, parsed);
}

bool tegn3d::loadFromMemory(const uint8_t* data, size_t size) {
    std::vector<std::unique_ptr<Mesh>> parsed;
    int32_t meshcnt = 0;
    bool ok = (data || size == 0) && parseObjectFile(data, size, meshcnt, parsed);
    return takeParsed(*this, ok, parsed);
}

// The last mesh's texture stays bound afterwards.
void tegn3d::drawAll() const {
    for (int32_t i = 0; i < meshCount && size_t(i) < meshes.size(); i++) {
        glBindTexture(GL_TEXTURE_2D, meshes[i]->texture);
        meshes[i]->draw();
    }
}
