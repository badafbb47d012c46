// Peak normalisation and MP3 encoding through libmp3lame. LAME gives the same
// bytes for the same samples and settings; no ID3 tag is written.
#include "mp3_writer.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include <lame/lame.h>

float peakOf(const StereoBuffer& audio) {
    float peak = 0.0f;
    for (float s : audio.left)
        peak = std::max(peak, std::fabs(s));
    for (float s : audio.right)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

void limitPeaks(StereoBuffer& audio, float threshold) {
    const size_t n = std::min(audio.left.size(), audio.right.size());
    const size_t reach = size_t(0.003 * sampleRate); // look-ahead and look-back
    std::vector<float> needed(n);
    for (size_t i = 0; i < n; i++) {
        float level = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        needed[i] = level > threshold ? threshold / level : 1.0f;
    }
    // The smallest gain needed within `reach` on either side (sliding minimum).
    std::vector<float> lowest(n);
    std::deque<size_t> window;
    for (size_t i = 0, next = 0; i < n; i++) {
        for (; next < n && next <= i + reach; next++) {
            while (!window.empty() && needed[window.back()] >= needed[next])
                window.pop_back();
            window.push_back(next);
        }
        while (window.front() + reach < i)
            window.pop_front();
        lowest[i] = needed[window.front()];
    }
    // Averaging over half the reach keeps the gain at or below what each peak
    // needs while turning the steps into ramps; the release only slows the
    // way back up.
    std::vector<double> sum(n + 1, 0.0);
    for (size_t i = 0; i < n; i++)
        sum[i + 1] = sum[i] + lowest[i];
    const size_t half = reach / 2;
    const float release = 1.0f / (0.08f * sampleRate);
    float gain = 1.0f;
    for (size_t i = 0; i < n; i++) {
        size_t from = i >= half ? i - half : 0, to = std::min(n, i + half + 1);
        float smooth = float((sum[to] - sum[from]) / double(to - from));
        gain = std::min(smooth, gain + release);
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
}

void normalisePeak(StereoBuffer& audio, float peakDbfs) {
    const float peak = peakOf(audio);
    if (peak <= 0.0f) return;
    const float gain = std::pow(10.0f, peakDbfs / 20.0f) / peak;
    for (float& s : audio.left)
        s *= gain;
    for (float& s : audio.right)
        s *= gain;
}

bool encodeMp3(const StereoBuffer& audio, std::vector<uint8_t>& mp3) {
    mp3.clear();
    lame_global_flags* lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_mtrh);
    lame_set_VBR_quality(lame, 2.0f);
    lame_set_bWriteVbrTag(lame, 1);
    bool ok = lame_init_params(lame) >= 0;

    const int chunk = 8192;
    std::vector<unsigned char> buffer(size_t(1.25 * chunk + 7200));
    const size_t frames = std::min(audio.left.size(), audio.right.size());
    for (size_t at = 0; ok && at < frames; at += chunk) {
        const int n = int(std::min<size_t>(chunk, frames - at));
        int written =
            lame_encode_buffer_ieee_float(lame, audio.left.data() + at, audio.right.data() + at, n,
                                          buffer.data(), int(buffer.size()));
        if (written < 0)
            ok = false;
        else
            mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    if (ok) {
        int written = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
        if (written < 0)
            ok = false;
        else
            mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    // The first frame was kept free for the VBR header; fill it in now.
    if (ok) {
        size_t size = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
        if (size > 0 && size <= mp3.size()) std::copy_n(buffer.begin(), size, mp3.begin());
    }
    lame_close(lame);
    return ok;
}
