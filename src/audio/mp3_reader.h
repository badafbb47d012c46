// One MP3 file decoded a little at a time into 44 100 Hz stereo float frames:
// the decoder and rate conversion shared by the live stream and whole-file decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

constexpr int outputRate = 44100;
// A hostile or endless file stops after twenty minutes of sound.
constexpr int64_t maxDecodedFrames = int64_t(20) * 60 * outputRate;

struct Mp3Reader;
struct Mp3ReaderDelete {
    void operator()(Mp3Reader* reader) const;
};
using Mp3ReaderPtr = std::unique_ptr<Mp3Reader, Mp3ReaderDelete>;

// Opens the file and reads its first frame header, nothing more. Null when the
// file is missing or holds no MPEG audio.
Mp3ReaderPtr openMp3(const char* path);
// The same for an MP3 held in memory; the bytes must outlive the reader.
Mp3ReaderPtr openMp3Memory(const unsigned char* data, size_t size);
// Fills up to `frames` interleaved stereo frames at 44 100 Hz, decoding as
// much of the file as that needs. Returns the frames written; fewer than asked
// only once the file (or the length cap) has ended.
int readMp3(Mp3Reader& reader, float* stereo, int frames);
// Moves to `frame` (counted at 44 100 Hz from the start of the sound), so
// that the next read starts there. False when the decoder cannot get there;
// past the end of the sound the reads find nothing more.
bool seekMp3(Mp3Reader& reader, int64_t frame);
