// Writes the data set's object files, each made for the model it fills.
#include <cstdio>

#include "datagen.h"
#include "mesh_shapes.h"
#include "resources/data_files.h"

static std::vector<ObjectMesh> meshesOf(Model model) {
    switch (model) {
    case Model::tunnel:
        return {makeTunnel()};
    case Model::bicube:
        return {makeInterlockedCubes()};
    case Model::room:
        return makeRoomWalls();
    case Model::ball:
        return {makeBall()};
    }
    return {};
}

static bool writeOne(const std::string& path, const std::vector<ObjectMesh>& meshes) {
    if (writeObjectFile(path, meshes)) return true;
    std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
    return false;
}

bool writeMeshes(const std::string& outDir) {
    bool ok = true;
    for (const ObjectFile& file : objectFiles)
        ok = writeOne(outDir + "/" + belowDataFolder(file.path), meshesOf(file.model)) && ok;
    return ok;
}
