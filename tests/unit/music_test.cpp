// The soundtrack: whole-file decoding, the live stream on a pulled device and on
// SDL's dummy driver, and the quiet failures.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/decode.h"
#include "audio/music.h"
#include "audio/pulled_device.h"
#include "audio/fft_bands.h"
#include "mp3_files.h"

namespace {

const int rate = 44100;
const int bufferFrames = 1024;

std::string tempPath(const std::string& name) {
    return testing::TempDir() + "quarnel_" + name;
}

double rms(const std::vector<float>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

std::vector<float> interleave(const std::vector<float>& left, const std::vector<float>& right) {
    std::vector<float> out;
    for (size_t i = 0; i < left.size(); ++i) {
        out.push_back(left[i]);
        out.push_back(right[i]);
    }
    return out;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(DecodeMonoFile, AnyRateAndChannelCountComesOutAt44100InPlace) {
    struct Case {
        const char* name;
        int sourceRate;
        int channels;
        bool id3;
    };
    for (Case c : {Case{"22050_mono", 22050, 1, false}, Case{"48000_stereo", 48000, 2, false},
                   Case{"44100_mono", 44100, 1, false}, Case{"44100_tagged", 44100, 2, true}}) {
        SCOPED_TRACE(c.name);
        // Half a second of silence, then a second of 440 Hz.
        std::vector<float> tone(size_t(c.sourceRate / 2), 0.0f);
        const std::vector<float> sine = sineWave(440.0, 0.5, 1.0, c.sourceRate);
        tone.insert(tone.end(), sine.begin(), sine.end());
        const std::vector<float> samples = c.channels == 1 ? tone : interleave(tone, tone);
        const std::string path = tempPath(std::string(c.name) + ".mp3");
        ASSERT_TRUE(writeTestMp3(path, samples, c.sourceRate, c.channels, c.id3));

        std::vector<float> mono;
        ASSERT_TRUE(decodeMonoFile(path, mono));
        EXPECT_NEAR(double(mono.size()), 1.5 * rate, 1.0);
        // The encoder's delay is gone and the rate change shifts nothing: the
        // tone starts at 0.5 s to within a millisecond.
        size_t onset = 0;
        while (onset < mono.size() && std::fabs(mono[onset]) < 0.02f)
            ++onset;
        EXPECT_NEAR(double(onset), 0.5 * rate, rate / 1000.0);
        // The tone keeps its level (0.5 / sqrt 2) and its pitch: 440 Hz sits
        // at 5.1 bands, so bands 5 and 6 hold it and band 10 does not.
        EXPECT_NEAR(rms(mono, rate / 2 + 2000, mono.size() - 2000), 0.5 / std::sqrt(2.0), 0.02);
        std::vector<float> bands(spectrumBands);
        computeSpectrum(mono.data() + rate, bands.data());
        EXPECT_GT(bands[5], 0.15f);
        EXPECT_LT(bands[10], 0.01f);
        std::remove(path.c_str());
    }
}

// A device pulled by the test on a clock the test sets.
double fakeNow = 0.0;
double fakeClock() {
    return fakeNow;
}

struct PulledDevice {
    PulledDevice() {
        fakeNow = 0.0;
        opened = openPulledAudioDevice(fakeClock);
    }
    ~PulledDevice() { closeAudio(); }
    // Hands the next buffer to the "hardware" at the current clock time.
    std::vector<float> pull() {
        std::vector<float> stereo(2 * bufferFrames, -2.0f);
        pullAudio(stereo.data(), bufferFrames);
        return stereo;
    }
    bool opened = false;
};

std::vector<float> spectrumNow(uint32_t stream) {
    std::vector<float> bands(512, -1.0f);
    fetchSpectrum(stream, bands.data());
    bands.resize(spectrumBands);
    return bands;
}

TEST(MusicStream, StartsStoppedPlaysFromTheStartAndIgnoresRepeatedPlays) {
    const std::string path = tempPath("play.mp3");
    const std::vector<float> tone = sineWave(440.0, 0.5, 1.0, rate);
    ASSERT_TRUE(writeTestMp3(path, interleave(tone, tone), rate, 2));
    std::vector<float> expected;
    ASSERT_TRUE(decodeMonoFile(path, expected));

    PulledDevice device;
    ASSERT_TRUE(device.opened);
    const uint32_t stream = createMusicStream(path.c_str());
    ASSERT_NE(stream, 0u);

    // Stopped: the device hands over silence and the spectrum reads zero.
    for (int i = 0; i < 3; ++i)
        for (float sample : device.pull())
            ASSERT_EQ(sample, 0.0f);
    for (float band : spectrumNow(stream))
        EXPECT_EQ(band, 0.0f);

    // Playing, with more play requests on the way: the output is the file
    // from its first sample, without a restart or a gap, then silence.
    std::vector<float> heard;
    for (int buffer = 0; buffer < 60; ++buffer) {
        playMusic(stream);
        const std::vector<float> stereo = device.pull();
        for (int i = 0; i < bufferFrames; ++i)
            heard.push_back(0.5f * (stereo[2 * i] + stereo[2 * i + 1]));
        if (buffer == 10) {
            const std::vector<float> bands = spectrumNow(stream);
            EXPECT_GT(bands[5], 0.1f);
            EXPECT_LT(bands[30], 0.01f);
        }
    }
    ASSERT_GT(heard.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_NEAR(heard[i], expected[i], 1e-6) << i;
    for (size_t i = expected.size(); i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0.0f) << i;
    // Once the file has ended the spectrum reads silence.
    for (float band : spectrumNow(stream))
        EXPECT_EQ(band, 0.0f);
    std::remove(path.c_str());
}

// Short bass thumps at known times: band 0 must peak within 20 ms of when each
// one is heard, whatever the file's rate.
TEST(MusicStream, SpectrumFollowsWhatIsHeardNow) {
    const double thumps[] = {0.3, 0.75, 1.1, 1.62};
    for (int sourceRate : {44100, 48000, 22050}) {
        SCOPED_TRACE(sourceRate);
        // Each thump: 50 Hz under a 30 ms raised-cosine envelope.
        std::vector<float> music(size_t(2.0 * sourceRate), 0.0f);
        for (double at : thumps) {
            const int half = int(0.015 * sourceRate);
            const int centre = int(at * sourceRate);
            for (int i = -half; i <= half; ++i) {
                const double envelope = 0.5 + 0.5 * std::cos(3.141592653589793 * i / half);
                music[size_t(centre + i)] =
                    float(0.9 * envelope * std::cos(6.283185307179586 * 50.0 * i / sourceRate));
            }
        }
        const std::string path = tempPath("thumps.mp3");
        ASSERT_TRUE(writeTestMp3(path, music, sourceRate, 1));

        PulledDevice device;
        ASSERT_TRUE(device.opened);
        const uint32_t stream = createMusicStream(path.c_str());
        ASSERT_NE(stream, 0u);
        // Some silence before the play request, so the stream does not start
        // with the device.
        for (int i = 0; i < 5; ++i) {
            device.pull();
            fakeNow += double(bufferFrames) / rate;
        }
        const double started = fakeNow;
        playMusic(stream);

        // Each buffer is heard from the moment it is pulled, at 44.1 kHz; the
        // spectrum is read every millisecond in between.
        std::vector<std::pair<double, float>> band0;
        for (int buffer = 0; buffer < 90; ++buffer) {
            const double pulledAt = started + double(buffer) * bufferFrames / rate;
            fakeNow = pulledAt;
            device.pull();
            for (double t = pulledAt; t < pulledAt + double(bufferFrames) / rate; t += 0.001) {
                fakeNow = t;
                band0.push_back({t - started, spectrumNow(stream)[0]});
            }
        }
        for (double at : thumps) {
            std::pair<double, float> peak{0.0, -1.0f};
            for (const auto& reading : band0)
                if (std::fabs(reading.first - at) < 0.15 && reading.second > peak.second)
                    peak = reading;
            EXPECT_NEAR(peak.first, at, 0.020) << "thump at " << at;
            EXPECT_GT(peak.second, 0.2f) << "thump at " << at;
        }
        // Between thumps the band is quiet.
        for (const auto& reading : band0)
            if (std::fabs(reading.first - 0.5) < 0.1) {
                EXPECT_LT(reading.second, 0.02f) << reading.first;
            }
        std::remove(path.c_str());
    }
}

TEST(MusicStream, MissingDamagedOrDevicelessRunsAreSilentAndNeverHang) {
    const std::string good = tempPath("good.mp3");
    const std::vector<float> tone = sineWave(440.0, 0.5, 2.0, rate);
    ASSERT_TRUE(writeTestMp3(good, tone, rate, 1));
    const std::string garbage = tempPath("garbage.mp3");
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "this is not an mp3 file. ";
    writeBytes(garbage, text);

    // A real MP3 with its middle overwritten plays what it can, then silence.
    std::ifstream in(good, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t i = bytes.size() / 3; i < bytes.size() / 2; ++i)
        bytes[i] = char((i * 2654435761u) >> 13);
    const std::string damaged = tempPath("damaged.mp3");
    writeBytes(damaged, bytes);

    std::vector<float> mono(10, 1.0f);
    EXPECT_FALSE(decodeMonoFile(tempPath("no_such_file.mp3"), mono));
    EXPECT_TRUE(mono.empty());
    EXPECT_FALSE(decodeMonoFile(garbage, mono));
    EXPECT_TRUE(decodeMonoFile(damaged, mono));
    EXPECT_LT(mono.size(), size_t(2 * rate));

    {
        PulledDevice device;
        ASSERT_TRUE(device.opened);
        EXPECT_EQ(createMusicStream(tempPath("no_such_file.mp3").c_str()), 0u);
        EXPECT_EQ(createMusicStream(garbage.c_str()), 0u);
        EXPECT_EQ(createMusicStream(nullptr), 0u);
        // Handle 0 (and any handle never given out) leaves the array alone.
        std::vector<float> bands(512, 0.0f);
        playMusic(0);
        fetchSpectrum(0, bands.data());
        fetchSpectrum(12345, bands.data());
        for (float band : bands)
            EXPECT_EQ(band, 0.0f);

        const uint32_t stream = createMusicStream(damaged.c_str());
        ASSERT_NE(stream, 0u);
        playMusic(stream);
        int silentBuffers = 0;
        for (int buffer = 0; buffer < 200 && silentBuffers < 5; ++buffer) {
            bool silent = true;
            for (float sample : device.pull()) {
                ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) <= 1.0f);
                silent = silent && sample == 0.0f;
            }
            silentBuffers = silent ? silentBuffers + 1 : 0;
        }
        EXPECT_EQ(silentBuffers, 5) << "the damaged file never ended";
        for (float band : spectrumNow(stream))
            EXPECT_EQ(band, 0.0f);
    }

    // No device: no stream, nothing plays, the spectrum stays as it was.
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_FALSE(openAudioDevice());
    const uint32_t stream = createMusicStream(good.c_str());
    EXPECT_EQ(stream, 0u);
    std::vector<float> bands(512, 0.0f);
    playMusic(stream);
    fetchSpectrum(stream, bands.data());
    for (float band : bands)
        EXPECT_EQ(band, 0.0f);
    std::vector<float> stereo(2 * bufferFrames, 1.0f);
    pullAudio(stereo.data(), bufferFrames);
    for (float sample : stereo)
        EXPECT_EQ(sample, 0.0f);
    closeAudio();
    unsetenv("SDL_AUDIODRIVER");

    for (const std::string& path : {good, garbage, damaged})
        std::remove(path.c_str());
}

// The real device path, on SDL's dummy driver: the tone shows up in the
// spectrum once playing, and closing returns.
TEST(MusicStream, PlaysOnTheDummyDriver) {
    const std::string path = tempPath("dummy.mp3");
    ASSERT_TRUE(writeTestMp3(path, sineWave(172.27, 0.8, 3.0, rate), rate, 1)); // band 2
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(openAudioDevice());
    const uint32_t stream = createMusicStream(path.c_str());
    ASSERT_NE(stream, 0u);

    std::vector<float> bands = spectrumNow(stream);
    for (float band : bands)
        EXPECT_EQ(band, 0.0f);
    playMusic(stream);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (bands[2] < 0.3f && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        playMusic(stream);
        bands = spectrumNow(stream);
    }
    EXPECT_NEAR(bands[2], 0.4f, 0.1f);
    EXPECT_LT(bands[10], 0.01f);
    closeAudio();
    unsetenv("SDL_AUDIODRIVER");
    std::remove(path.c_str());
}

} // namespace
