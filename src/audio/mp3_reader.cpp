// MP3 decoding through libmpg123 (float output at the file's own rate and
// channel count), converted to 44 100 Hz stereo by an SDL audio stream.
#include "audio/mp3_reader.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <mpg123.h>
#include <utility>

// Silence fed after the last frame so the resampler gives up all of the sound.
constexpr int tailPaddingFrames = 4096;

// An MP3 held in memory, read by the decoder as it would read a file.
struct MemoryFile {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

struct Mp3Reader {
    mpg123_handle* decoder = nullptr;
    MemoryFile memory; // the bytes openMp3Memory reads; unused for files
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

static mpg123_ssize_t readMemory(void* handle, void* out, size_t bytes) {
    auto* file = static_cast<MemoryFile*>(handle);
    const size_t n = std::min(bytes, file->size - file->position);
    if (n > 0) std::memcpy(out, file->data + file->position, n);
    file->position += n;
    return mpg123_ssize_t(n);
}

static off_t seekMemory(void* handle, off_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = off_t(file->position);
    else if (whence == SEEK_END)
        base = off_t(file->size);
    else if (whence != SEEK_SET)
        return -1;
    // Anywhere from the start to the end; beyond either is an error.
    if (offset < -base || offset > off_t(file->size) - base) return -1;
    file->position = size_t(base + offset);
    return off_t(file->position);
}

// A decoder for float samples at whatever rate and channel count the file has.
static Mp3ReaderPtr newReader() {
    mpg123_init(); // a no-op on current libraries, needed on old ones

    Mp3ReaderPtr reader(new Mp3Reader);
    int err = MPG123_OK;
    reader->decoder = mpg123_new(nullptr, &err);
    if (!reader->decoder) return nullptr;
    mpg123_handle* mh = reader->decoder;
    // Quiet: a damaged file is not worth a line on stderr. No Frankenstein: a
    // stream that changes its format midway ends there. ID3v2 tags are skipped
    // unparsed: nothing here reads them, and parsing one allocates whatever
    // size the tag claims (up to 256 MB) before reading a byte of it.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_FRANKENSTEIN | MPG123_SKIP_ID3V2,
                 0.0);

    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    return reader;
}

// Reads the first frame header of the opened stream and sets up the converter.
static Mp3ReaderPtr startReading(Mp3ReaderPtr reader) {
    mpg123_handle* mh = reader->decoder;
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

Mp3ReaderPtr openMp3(const char* path) {
    if (!path) return nullptr;
    Mp3ReaderPtr reader = newReader();
    if (!reader || mpg123_open(reader->decoder, path) != MPG123_OK) return nullptr;
    return startReading(std::move(reader));
}

Mp3ReaderPtr openMp3Memory(const unsigned char* data, size_t size) {
    if (!data && size > 0) return nullptr;
    Mp3ReaderPtr reader = newReader();
    if (!reader) return nullptr;
    reader->memory = MemoryFile{data, size, 0};
    if (mpg123_replace_reader_handle(reader->decoder, readMemory, seekMemory, nullptr) !=
            MPG123_OK ||
        mpg123_open_handle(reader->decoder, &reader->memory) != MPG123_OK)
        return nullptr;
    return startReading(std::move(reader));
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

bool seekMp3(Mp3Reader& r, int64_t frame) {
    if (frame < 0) return false;
    // mpg123 counts samples per channel at the file's own rate; the resampler
    // starts afresh from there.
    const off_t target = off_t(frame * r.rate / outputRate);
    const off_t reached = mpg123_seek(r.decoder, target, SEEK_SET);
    if (reached < 0) return false;
    SDL_AudioStreamClear(r.converter);
    r.decoderDone = false;
    r.framesIn = int64_t(reached);
    r.framesOut = int64_t(reached) * outputRate / r.rate;
    r.lengthOut = maxDecodedFrames;
    return true;
}
