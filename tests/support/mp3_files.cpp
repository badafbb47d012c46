// MP3 files made by the tests themselves, encoded with libmp3lame.
#include "mp3_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include <lame/lame.h>

namespace {

struct LameFree {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

// A minimal ID3v2.3 tag: one title frame and some padding.
std::vector<unsigned char> id3v2Tag() {
    const char title[] = "Test tone";
    std::vector<unsigned char> frame = {'T', 'I', 'T', '2', 0, 0, 0, (unsigned char)(sizeof(title)),
                                        0,   0,   0};
    frame.insert(frame.end(), title, title + sizeof(title) - 1);
    const size_t bodySize = frame.size() + 200; // padding
    std::vector<unsigned char> tag = {'I', 'D', '3', 3, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.push_back((bodySize >> shift) & 0x7f);
    tag.insert(tag.end(), frame.begin(), frame.end());
    tag.resize(10 + bodySize, 0);
    return tag;
}

std::vector<unsigned char> id3v1Tag() {
    std::vector<unsigned char> tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    std::memcpy(tag.data() + 3, "Test tone", 9);
    return tag;
}

} // namespace

bool writeTestMp3(const std::string& path, const std::vector<float>& samples, int rate,
                  int channels, bool id3Tags) {
    if (channels < 1 || channels > 2) return false;
    std::unique_ptr<lame_global_flags, LameFree> lame(lame_init());
    if (!lame) return false;
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), channels);
    lame_set_mode(lame.get(), channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame.get(), rate > 24000 ? 160 : 64);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1); // the tag frame carries delay and padding
    if (lame_init_params(lame.get()) < 0) return false;

    const int frames = int(samples.size()) / channels;
    std::vector<float> left(frames), right(frames);
    for (int i = 0; i < frames; ++i) {
        left[i] = samples[size_t(i) * channels];
        right[i] = samples[size_t(i) * channels + channels - 1];
    }
    std::vector<unsigned char> mp3(size_t(1.25 * frames) + 7200 + 16384);
    int used = lame_encode_buffer_ieee_float(lame.get(), left.data(), right.data(), frames,
                                             mp3.data(), int(mp3.size()));
    if (used < 0) return false;
    const int flushed = lame_encode_flush(lame.get(), mp3.data() + used, int(mp3.size()) - used);
    if (flushed < 0) return false;
    mp3.resize(size_t(used + flushed));
    // The first frame was a placeholder for the tag frame, known only now.
    unsigned char tagFrame[4096];
    const size_t tagSize = lame_get_lametag_frame(lame.get(), tagFrame, sizeof(tagFrame));
    if (tagSize == 0 || tagSize > mp3.size()) return false;
    std::memcpy(mp3.data(), tagFrame, tagSize);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = true;
    if (id3Tags) {
        const std::vector<unsigned char> tag = id3v2Tag();
        ok = ok && std::fwrite(tag.data(), 1, tag.size(), file) == tag.size();
    }
    ok = ok && std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
    if (id3Tags) {
        const std::vector<unsigned char> tag = id3v1Tag();
        ok = ok && std::fwrite(tag.data(), 1, tag.size(), file) == tag.size();
    }
    return std::fclose(file) == 0 && ok;
}

std::vector<float> sineWave(double hz, double amplitude, double seconds, int rate) {
    std::vector<float> wave(size_t(seconds * rate));
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = float(amplitude * std::sin(6.283185307179586 * hz * double(i) / rate));
    return wave;
}
