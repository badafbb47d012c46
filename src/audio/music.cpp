// The live soundtrack: MP3 streams decoded inside the SDL audio callback as they
// play, mixed to the device, and a spectrum of what the listener hears now.
#include "audio/music.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/mp3_reader.h"
#include "audio/pulled_device.h"
#include "audio/fft_bands.h"

namespace {

// Mono history per stream, indexed by device frame: comfortably more than one
// device buffer plus the spectrum's window.
constexpr int64_t historyFrames = 1 << 16;
constexpr int deviceBufferFrames = 1024; // about 23 ms at 44.1 kHz

struct Stream {
    uint32_t handle = 0;
    Mp3ReaderPtr reader;              // touched by the callback only
    std::atomic<bool> playing{false}; // set by playMusic, cleared by rewindMusic
    std::vector<float> stereo;        // callback scratch: this stream's share
    std::vector<float> mono;          // callback scratch: its mono mix
    std::vector<float> history = std::vector<float>(historyFrames); // guarded by historyMutex
};

struct Device {
    bool open = false;
    bool pulled = false;
    SDL_AudioDeviceID id = 0;
    double (*clock)() = nullptr;

    // Held for a whole callback; the main thread takes it only to add or drop streams.
    std::mutex callbackMutex;
    std::vector<std::unique_ptr<Stream>> streams;
    uint32_t nextHandle = 1; // handles are never reused

    // Held briefly: by the callback to publish what it handed over, by the
    // spectrum fetch to read it.
    std::mutex historyMutex;
    int64_t handedFrames = 0;    // device frames handed over since the device opened
    int lastCallbackFrames = 0;  // size of the latest hand-over
    double lastCallbackTime = 0; // clock reading when it was made

    ~Device();
};

Device device;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

Stream* findStream(uint32_t handle) {
    if (handle == 0) return nullptr;
    for (auto& stream : device.streams)
        if (stream->handle == handle) return stream.get();
    return nullptr;
}

// Mixes the playing streams into `out` and records what each contributed.
void renderAudio(float* out, int frames) {
    std::lock_guard<std::mutex> callbackLock(device.callbackMutex);
    const double now = device.clock ? device.clock() : 0.0;
    std::fill(out, out + 2 * frames, 0.0f);

    for (auto& stream : device.streams) {
        Stream& s = *stream;
        s.stereo.assign(2 * size_t(frames), 0.0f);
        s.mono.assign(size_t(frames), 0.0f);
        // The decoder runs here, outside the history lock: the spectrum
        // fetch never waits for it.
        if (s.playing.load()) readMp3(*s.reader, s.stereo.data(), frames);
        for (int i = 0; i < frames; ++i) {
            out[2 * i] += s.stereo[2 * i];
            out[2 * i + 1] += s.stereo[2 * i + 1];
            s.mono[i] = 0.5f * (s.stereo[2 * i] + s.stereo[2 * i + 1]);
        }
    }
    for (int i = 0; i < 2 * frames; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);

    std::lock_guard<std::mutex> historyLock(device.historyMutex);
    const int first = int(std::max<int64_t>(0, frames - historyFrames));
    for (auto& stream : device.streams)
        for (int i = first; i < frames; ++i)
            stream->history[(device.handedFrames + i) % historyFrames] = stream->mono[i];
    device.handedFrames += frames;
    device.lastCallbackFrames = frames;
    device.lastCallbackTime = now;
}

void sdlCallback(void*, Uint8* bytes, int length) {
    renderAudio(reinterpret_cast<float*>(bytes), length / int(2 * sizeof(float)));
}

void closeDevice() {
    if (device.id != 0) {
        SDL_CloseAudioDevice(device.id); // returns once the callback has finished
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device.id = 0;
    }
    std::lock_guard<std::mutex> callbackLock(device.callbackMutex);
    std::lock_guard<std::mutex> historyLock(device.historyMutex);
    device.streams.clear();
    device.open = false;
    device.pulled = false;
    device.clock = nullptr;
    device.handedFrames = 0;
    device.lastCallbackFrames = 0;
    device.lastCallbackTime = 0;
}

// A run that never reached closeAudio must not leave the callback running into
// freed streams.
Device::~Device() {
    if (open) closeDevice();
}

} // namespace

bool openAudioDevice() {
    if (device.open) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;

    SDL_AudioSpec want{};
    want.freq = outputRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = deviceBufferFrames;
    want.callback = sdlCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts for hardware that wants something else.
    device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device.id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    device.clock = steadySeconds;
    device.open = true;
    // The device runs from now on; streams stay silent until they are played.
    SDL_PauseAudioDevice(device.id, 0);
    return true;
}

bool openPulledAudioDevice(double (*clock)()) {
    if (device.open || !clock) return false;
    device.clock = clock;
    device.pulled = true;
    device.open = true;
    return true;
}

void pullAudio(float* stereo, int frames) {
    if (frames <= 0) return;
    if (!device.open || !device.pulled) {
        std::fill(stereo, stereo + 2 * frames, 0.0f);
        return;
    }
    renderAudio(stereo, frames);
}

uint32_t createMusicStream(const char* path) {
    if (!device.open) return 0;
    Mp3ReaderPtr reader = openMp3(path);
    if (!reader) return 0;

    auto stream = std::make_unique<Stream>();
    stream->reader = std::move(reader);
    std::lock_guard<std::mutex> callbackLock(device.callbackMutex);
    stream->handle = device.nextHandle++;
    device.streams.push_back(std::move(stream));
    return device.streams.back()->handle;
}

void playMusic(uint32_t handle) {
    // The reader is where opening or rewinding left it, at the beginning, so
    // the first callback after this starts there; a stream already playing
    // carries on.
    if (Stream* stream = findStream(handle)) stream->playing.store(true);
}

bool playMusicFrom(uint32_t handle, double seconds) {
    Stream* stream = findStream(handle);
    if (!stream || !(seconds >= 0.0)) return false;
    // The callback holds this lock while it reads the stream.
    std::lock_guard<std::mutex> callbackLock(device.callbackMutex);
    if (!seekMp3(*stream->reader, int64_t(std::llround(seconds * outputRate)))) return false;
    stream->playing.store(true);
    return true;
}

bool rewindMusic(uint32_t handle) {
    Stream* stream = findStream(handle);
    if (!stream) return false;
    std::lock_guard<std::mutex> callbackLock(device.callbackMutex);
    stream->playing.store(false);
    return seekMp3(*stream->reader, 0);
}

void fetchSpectrum(uint32_t handle, float* spectrum) {
    const Stream* stream = findStream(handle);
    if (!stream) return;

    float window[spectrumInputSamples];
    {
        std::lock_guard<std::mutex> historyLock(device.historyMutex);
        // The latest hand-over starts to be heard when it is made and plays out
        // at the device rate; everything before it has been heard already.
        const double elapsed = device.clock() - device.lastCallbackTime;
        const int64_t intoBuffer =
            std::clamp<int64_t>(int64_t(elapsed * outputRate), 0, device.lastCallbackFrames);
        const int64_t heard = device.handedFrames - device.lastCallbackFrames + intoBuffer;
        // The window is centred on the frame being heard, so a short sound
        // peaks when it is heard, not half a window later; near the end of a
        // hand-over it slides back (at most 5.8 ms) rather than read past it.
        const int64_t first =
            std::min(heard - spectrumInputSamples / 2, device.handedFrames - spectrumInputSamples);
        for (int i = 0; i < spectrumInputSamples; ++i) {
            const int64_t frame = first + i;
            const bool kept = frame >= 0 && frame < device.handedFrames &&
                              frame >= device.handedFrames - historyFrames;
            window[i] = kept ? stream->history[frame % historyFrames] : 0.0f;
        }
    }
    computeSpectrum(window, spectrum);
}

void closeAudio() {
    closeDevice();
}
