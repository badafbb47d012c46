// Writes the soundtrack: the score rendered, normalised and encoded.
#include <cstdio>
#include <fstream>

#include "datagen.h"
#include "mp3_writer.h"
#include "resources/data_files.h"
#include "song.h"

// The rare peaks where snare, stabs and kick coincide are limited to this
// (the kick alone stays below it), so normalising lifts the whole mix.
constexpr float mixLimit = 1.15f;
// Below -1 dBFS with room for the encoder's overshoot.
constexpr float mixPeakDbfs = -2.0f;

bool writeSoundtrack(const std::string& outDir) {
    StereoBuffer mix = renderSong(composeSong());
    limitPeaks(mix, mixLimit);
    normalisePeak(mix, mixPeakDbfs);
    std::vector<uint8_t> mp3;
    if (!encodeMp3(mix, mp3)) {
        std::fprintf(stderr, "quarnel-datagen: the MP3 encoder failed\n");
        return false;
    }
    const std::string path = outDir + "/" + belowDataFolder(soundtrackFile);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));
    if (!file) {
        std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
