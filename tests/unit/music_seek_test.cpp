// Starting the soundtrack part-way in, as a run started late does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/decode.h"
#include "audio/music.h"
#include "audio/pulled_device.h"
#include "mp3_files.h"

static double fakeClock() {
    return 0.0;
}

// A rising tone, so that a sample from the wrong place differs from the right one.
static std::vector<float> chirp(double seconds, int rate) {
    std::vector<float> samples(size_t(seconds * rate));
    for (size_t i = 0; i < samples.size(); i++) {
        const double t = double(i) / rate;
        samples[i] = float(0.5 * std::sin(2.0 * M_PI * (200.0 * t + 150.0 * t * t)));
    }
    return samples;
}

// The whole file decoded at 44 100 Hz is the reference; the seeked stream must
// hand over the same sound from the asked second on, whatever the file's rate
// (a resampled file may differ a little while its converter warms up).
TEST(MusicSeek, PlaysFromTheAskedSecondAtAnyRateAndNotPastTheEnd) {
    for (int fileRate : {44100, 22050}) {
        const std::string path = testing::TempDir() + "quarnel_seek.mp3";
        const std::vector<float> mono = chirp(3.0, fileRate);
        ASSERT_TRUE(writeTestMp3(path, mono, fileRate, 1));
        std::vector<float> expected;
        ASSERT_TRUE(decodeMonoFile(path, expected));

        ASSERT_TRUE(openPulledAudioDevice(fakeClock));
        const uint32_t stream = createMusicStream(path.c_str());
        ASSERT_NE(stream, 0u);
        ASSERT_TRUE(playMusicFrom(stream, 1.5));
        std::vector<float> heard(2 * 8192);
        pullAudio(heard.data(), 8192);
        const size_t start = 66150; // 1.5 s at 44 100 Hz
        const size_t settled = fileRate == 44100 ? 0 : 256;
        const double tolerance = fileRate == 44100 ? 1e-6 : 0.02;
        for (size_t i = settled; i < 8192; i++)
            ASSERT_NEAR(heard[2 * i], expected[start + i], tolerance) << fileRate << " " << i;
        closeAudio();

        // Past the end there is nothing to hear; no handle, nothing to play.
        ASSERT_TRUE(openPulledAudioDevice(fakeClock));
        const uint32_t late = createMusicStream(path.c_str());
        EXPECT_FALSE(playMusicFrom(0, 1.0));
        playMusicFrom(late, 10.0);
        std::vector<float> silence(2 * 1024, -2.0f);
        pullAudio(silence.data(), 1024);
        for (float sample : silence)
            ASSERT_EQ(sample, 0.0f);
        closeAudio();
        std::remove(path.c_str());
    }
}
