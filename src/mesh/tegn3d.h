// The model container: the meshes of one object file. It owns its meshes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "mesh/mesh.h"

class tegn3d {
  public:
    std::vector<Mesh*> meshes; // the meshes of the last loaded file, in file order
    int32_t meshCount = 0;     // meshcnt of the last loaded file

    tegn3d() = default;
    ~tegn3d();
    tegn3d(const tegn3d&) = delete;
    tegn3d& operator=(const tegn3d&) = delete;

    // Reads an object file. A file that cannot be opened, or is malformed,
    // shows "Unable to open object file" / "tegn3d::loadFromFile", returns
    // false and leaves the container exactly as it was.
    bool loadFromFile(const char* path);
    // The same for an object file already in memory (size bytes at data).
    bool loadFromMemory(const uint8_t* data, size_t size);
    // Releases every mesh: the container is empty again, as when new.
    void clear();
    // Appends a mesh, which the container then owns; meshCount follows.
    // With clear(), the only writers of meshes and meshCount.
    void adopt(std::unique_ptr<Mesh> mesh);
    // Binds each mesh's texture and draws it, in index order.
    void drawAll() const;
};
