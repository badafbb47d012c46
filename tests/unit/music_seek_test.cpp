// Starting the soundtrack part-way in, as a run started late does, and again
// from its beginning, as a looping run does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "audio/decode.h"
#include "audio/music.h"
#include "audio/pulled_device.h"
#include "mp3_files.h"
#include "resources/demo_state.h"

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

// The whole file decoded at 44 100 Hz is the reference; the stream of a run
// started at 15.5 s must hand over the same sound from 1.5 s on, whatever the
// file's rate (a resampled file may differ a little while its converter warms up).
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
        demo.musicStream = stream;
        startMusicAt(15.5);
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

// A looping run's rewind silences the stream at once and the next play request
// starts it from its beginning; a late start whose seek fails says so and plays
// nothing, not even on that request (the soundtrack would be out of step).
TEST(MusicSeek, RewoundOrUnseekableStreamsPlayOnlyWhereThePictureIs) {
    const std::string path = testing::TempDir() + "quarnel_rewind.mp3";
    ASSERT_TRUE(writeTestMp3(path, chirp(3.0, 44100), 44100, 1));
    std::vector<float> expected, heard(2 * 4096);
    ASSERT_TRUE(decodeMonoFile(path, expected));
    ASSERT_TRUE(openPulledAudioDevice(fakeClock));
    demo.musicStream = createMusicStream(path.c_str());
    startMusicAt(15.5);
    ASSERT_TRUE(rewindMusic(demo.musicStream));
    pullAudio(heard.data(), 4096);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 0.0f), long(heard.size()));
    playMusic(demo.musicStream);
    pullAudio(heard.data(), 4096);
    for (size_t i = 0; i < 4096; i++)
        ASSERT_NEAR(heard[2 * i], expected[i], 1e-6) << i;

    ASSERT_TRUE(rewindMusic(demo.musicStream));
    setMusicSeek([](uint32_t, double) { return false; });
    testing::internal::CaptureStderr();
    startMusicAt(15.5);
    const std::string err = testing::internal::GetCapturedStderr();
    setMusicSeek(nullptr);
    EXPECT_NE(err.find("quarnel: the soundtrack cannot start 1.5 s in"), std::string::npos) << err;
    playMusic(demo.musicStream);
    pullAudio(heard.data(), 4096);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 0.0f), long(heard.size()));
    closeAudio();
    std::remove(path.c_str());
}
