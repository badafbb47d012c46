// Whole-file decoding to a mono 44 100 Hz mix, through the live stream's reader.
#include "audio/decode.h"

#include "audio/mp3_reader.h"

bool decodeMonoFile(const std::string& path, std::vector<float>& mono) {
    mono.clear();
    Mp3ReaderPtr reader = openMp3(path.c_str());
    if (!reader) return false;

    const int chunkFrames = 4096;
    float stereo[2 * chunkFrames];
    for (;;) {
        const int frames = readMp3(*reader, stereo, chunkFrames);
        for (int i = 0; i < frames; ++i)
            mono.push_back(0.5f * (stereo[2 * i] + stereo[2 * i + 1]));
        if (frames < chunkFrames) break;
    }
    return true;
}
