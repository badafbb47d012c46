// MP3 decoding through libmpg123 (float output at the file's own rate and
// channel count), converted to 44 100 Hz stereo by an SDL audio stream.
#include "audio/mp3_reader.h"

#include <SDL.h>
#include <algorithm>
#include <mpg123.h>

// Silence fed after the last frame so the resampler gives up all of the sound.
constexpr int tailPaddingFrames = 4096;

struct Mp3Reader {
    mpg123_handle* decoder = nullptr;
    SDL_AudioStream* converter = nullptr;
    long rate = 0;
    int channels = 0;
    bool decoderDone = false;             // no more input: the converter has been flushed
    int64_t framesIn = 0;                 // decoded frames at the file's rate
    int64_t framesOut = 0;                // frames handed out at 44 100 Hz
    int64_t lengthOut = maxDecodedFrames; // the file's length at 44 100 Hz, once known

    ~Mp3Reader() {
        if (converter) SDL_FreeAudioStream(converter);
        if (decoder) {
            mpg123_close(decoder);
            mpg123_delete(decoder);
        }
    }
};

void Mp3ReaderDelete::operator()(Mp3Reader* reader) const {
    delete reader;
}

Mp3ReaderPtr openMp3(const char* path) {
    if (!path) return nullptr;
    mpg123_init(); // a no-op on current libraries, needed on old ones

    Mp3ReaderPtr reader(new Mp3Reader);
    int err = MPG123_OK;
    reader->decoder = mpg123_new(nullptr, &err);
    if (!reader->decoder) return nullptr;
    mpg123_handle* mh = reader->decoder;
    // Quiet: a damaged file is not worth a line on stderr. No Frankenstein: a
    // stream that changes its format midway ends there.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_FRANKENSTEIN, 0.0);

    // Float samples at whatever rate and channel count the file has.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    if (mpg123_open(mh, path) != MPG123_OK) return nullptr;
    int encoding = 0;
    if (mpg123_getformat(mh, &reader->rate, &reader->channels, &encoding) != MPG123_OK)
        return nullptr;
    if (encoding != MPG123_ENC_FLOAT_32 || reader->channels < 1 || reader->channels > 2)
        return nullptr;

    reader->converter = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(reader->channels), int(reader->rate),
                                           AUDIO_F32SYS, 2, outputRate);
    if (!reader->converter) return nullptr;
    return reader;
}

// Feeds one more MPEG frame into the converter, or flushes it at the end.
static void decodeMore(Mp3Reader& r) {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    int err = mpg123_decode_frame(r.decoder, &frameNumber, &audio, &bytes);
    if (err == MPG123_NEW_FORMAT) {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(r.decoder, &rate, &channels, &encoding);
        if (rate == r.rate && channels == r.channels && encoding == MPG123_ENC_FLOAT_32) return;
        err = MPG123_ERR; // the converter is set up for the first format only
    }
    const int frameBytes = r.channels * int(sizeof(float));
    if (err == MPG123_OK) {
        if (bytes == 0) return;
        if (SDL_AudioStreamPut(r.converter, audio, int(bytes)) == 0) {
            r.framesIn += int64_t(bytes) / frameBytes;
            return;
        }
    }
    // The end of the file, damage the decoder cannot get past, or no memory.
    // The resampler holds back the tail of its input even when flushed, so a
    // little silence goes in after the sound, and the output is cut back to
    // the file's own length at the new rate.
    static const float silence[2 * tailPaddingFrames] = {};
    SDL_AudioStreamPut(r.converter, silence, tailPaddingFrames * frameBytes);
    SDL_AudioStreamFlush(r.converter);
    r.lengthOut = std::min(maxDecodedFrames, (r.framesIn * outputRate + r.rate / 2) / r.rate);
    r.decoderDone = true;
}

int readMp3(Mp3Reader& r, float* stereo, int frames) {
    const int frameBytes = 2 * int(sizeof(float));
    int written = 0;
    for (;;) {
        const int64_t remaining = std::min<int64_t>(frames - written, r.lengthOut - r.framesOut);
        if (remaining <= 0) break;
        const int available = SDL_AudioStreamAvailable(r.converter) / frameBytes;
        if (available > 0) {
            const int want = int(std::min<int64_t>(available, remaining));
            const int got =
                SDL_AudioStreamGet(r.converter, stereo + 2 * written, want * frameBytes);
            if (got <= 0) break;
            written += got / frameBytes;
            r.framesOut += got / frameBytes;
        } else if (r.decoderDone) {
            break;
        } else {
            decodeMore(r);
        }
    }
    return written;
}
