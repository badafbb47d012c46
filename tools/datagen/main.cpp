// quarnel-datagen OUTDIR: makes the whole data set, the same bytes every run.
#include <cstdio>
#include <filesystem>
#include <future>

#include "datagen.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarnel-datagen OUTDIR\n");
        return 2;
    }
    const std::string outDir = argv[1];
    std::error_code error;
    for (const char* folder : {"pic/pokemon", "objects", "sound"})
        std::filesystem::create_directories(outDir + "/" + folder, error);

    // The soundtrack and the pictures take the longest: one core each.
    auto soundtrack = std::async(std::launch::async, writeSoundtrack, outDir);
    bool ok = writePictures(outDir);
    ok = writeMeshes(outDir) && ok;
    ok = soundtrack.get() && ok;
    return ok ? 0 : 1;
}
