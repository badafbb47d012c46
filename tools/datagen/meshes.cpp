// Writes the data set's object files: data/objects/{tunnel,bicube,kube2,kule}.ebr.
#include <cstdio>

#include "datagen.h"
#include "mesh_shapes.h"

static bool writeOne(const std::string& path, const std::vector<ObjectMesh>& meshes) {
    if (writeObjectFile(path, meshes)) return true;
    std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
    return false;
}

bool writeMeshes(const std::string& outDir) {
    const std::string folder = outDir + "/objects/";
    bool ok = writeOne(folder + "tunnel.ebr", {makeTunnel()});
    ok = writeOne(folder + "bicube.ebr", {makeInterlockedCubes()}) && ok;
    ok = writeOne(folder + "kube2.ebr", makeRoomWalls()) && ok;
    ok = writeOne(folder + "kule.ebr", {makeBall()}) && ok;
    return ok;
}
