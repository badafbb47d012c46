// Start-up's pictures decoded ahead on two worker threads, while the main
// thread opens the window and makes the textures one by one in the fixed
// order. Workers only read and decode: every message, exit and OpenGL call
// stays on the main thread, at the picture's own turn.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "image/jpeg_texture.h"
#include "image/png_decode.h"

struct PrefetchedPng {
    bool decoded = false; // false: missing or damaged, no texture is made
    PngImage image;       // decoded keeping alpha, as PNG_ALPHA asks
};

class PicturePrefetch {
  public:
    // Starts decoding jpegFiles, then pngFiles, in that order, from the
    // working folder as it is now.
    PicturePrefetch();
    // Workers finish the picture in hand and stop; nothing is left running.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // Wait for picture slot of its kind and hand it over (each once).
    JpegRead& takeJpeg(int slot);
    PrefetchedPng& takePng(int slot);

  private:
    void work();
    const char* pathOf(size_t job) const;
    bool decode(size_t job, std::FILE* file);
    void waitFor(size_t job);

    std::vector<JpegRead> jpegs;
    std::vector<PrefetchedPng> pngs;
    std::vector<char> ready; // per job: JPEGs first, then PNGs
    size_t nextJob = 0;      // the next job a worker claims
    size_t openTurn = 0;     // the job whose file may be opened now
    bool openingStopped = false, stopping = false;
    std::mutex mutex;
    std::condition_variable turn, finished;
    std::vector<std::thread> workers; // last: they start once the rest is ready
};

// The prefetch start-up uses: started early by the demo's main (before the
// window), or by loadTexturesAndModels when nobody did.
void startPictureDecoding();
PicturePrefetch& picturePrefetch();
// Ends it once every picture has been taken (or at exit).
void endPictureDecoding();
