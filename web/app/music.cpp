// The soundtrack in a web page. The page decodes the MP3 with the browser's own
// decoder and plays it through Web Audio; it hands the mono mix over here,
// where the spectrum is taken as the capture tool takes it, at the frame's
// time: the moment the audio output's clock says is being heard while it
// is, the picture's own while the sound is away.
#include "audio/music.h"

#include <algorithm>
#include <emscripten.h>
#include <vector>

#include "app/timeline.h"
#include "audio/fft_bands.h"
#include "audio/offline_bands.h"
#include "app/grid.h"
#include "page.h"
#include "resources/data_files.h"
#include "resources/demo_state.h"
#include "run_clock.h"
#include "web_music.h"

static std::vector<float> soundtrack; // mono, 44 100 Hz, as the page decoded it
static bool started = false;          // playMusic starts the stream once

// The file the page decodes: the one the native demo plays.
extern "C" EMSCRIPTEN_KEEPALIVE const char* quarnel_soundtrack_path() {
    return soundtrackFile;
}

// Room for the decoded mono mix, which the page writes straight into it.
extern "C" EMSCRIPTEN_KEEPALIVE float* quarnel_soundtrack_buffer(int samples) {
    soundtrack.assign(size_t(samples > 0 ? samples : 0), 0.0f);
    return soundtrack.data();
}

bool openAudioDevice() {
    return pageHasAudio() != 0;
}

uint32_t createMusicStream(const char*) {
    return soundtrack.empty() || !pageHasAudio() ? 0 : 1;
}

void fetchSpectrum(uint32_t stream, float* spectrum) {
    if (stream == 0) return;
    offlineSpectrum(soundtrack, started ? latestFrameTime() - timelineMusicStart() : -1.0,
                    spectrum);
}

// The timeline's request, on the first frame in the music's window: the
// music starts where that frame is in it, however late the frame comes.
void playMusic(uint32_t stream) {
    if (stream == 0 || started) return;
    started = pagePlayMusic(double(demo.demoTime) - timelineMusicStart()) != 0;
}

bool playMusicFrom(uint32_t stream, double seconds) {
    if (stream == 0 || !(seconds >= 0.0)) return false;
    started = pagePlayMusic(seconds) != 0;
    return started;
}

bool rewindMusic(uint32_t stream) {
    pageStopMusic();
    started = false;
    return stream != 0;
}

void closeAudio() {
    pageStopMusic();
    started = false;
}

bool musicStarted() {
    return started;
}

void spectrumForStill(float t, float* spectrum) {
    const float musicStart = musicStartTime(captureGridFps);
    if (soundtrack.empty() || musicStart < 0.0f) {
        std::fill(spectrum, spectrum + spectrumBands, 0.0f);
        return;
    }
    offlineSpectrum(soundtrack, double(t) - double(musicStart), spectrum);
}
