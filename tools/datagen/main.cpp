// quarnel-datagen OUTDIR: makes the whole data set, the same bytes every run.
// quarnel-datagen --icon OUTDIR: makes the program's icon files instead.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>

#include "datagen.h"
#include "icon.h"

int main(int argc, char** argv) {
    const bool icon = argc == 3 && std::strcmp(argv[1], "--icon") == 0;
    if (argc != 2 && !icon) {
        std::fprintf(stderr,
                     "usage: quarnel-datagen OUTDIR\n       quarnel-datagen --icon OUTDIR\n");
        return 2;
    }
    const std::string outDir = argv[argc - 1];
    std::error_code error;
    if (icon) {
        std::filesystem::create_directories(outDir, error);
        return writeIcons(outDir) ? 0 : 1;
    }
    for (const char* folder : {"pic/pokemon", "objects", "sound"})
        std::filesystem::create_directories(outDir + "/" + folder, error);

    // The soundtrack and the pictures take the longest: one core each.
    auto soundtrack = std::async(std::launch::async, writeSoundtrack, outDir);
    bool ok = writePictures(outDir);
    ok = writeMeshes(outDir) && ok;
    ok = soundtrack.get() && ok;
    return ok ? 0 : 1;
}
