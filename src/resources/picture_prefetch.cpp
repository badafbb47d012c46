// Decoding start-up's pictures ahead of their turn on worker threads.
#include "resources/picture_prefetch.h"

#include <memory>

#include "image/jpeg_decode.h"
#include "resources/data_files.h"

// The decode runs on both cores. A web page has no threads it can count on
// (they need cross-origin isolation): there the first wait decodes every
// picture in turn.
#ifdef __EMSCRIPTEN__
constexpr int workerCount = 0;
#else
constexpr int workerCount = 2;
#endif

PicturePrefetch::PicturePrefetch()
    : jpegs(jpegFileCount), pngs(pngFileCount), ready(jpegFileCount + pngFileCount, 0) {
    for (int i = 0; i < workerCount; i++)
        workers.emplace_back([this] { work(); });
}

PicturePrefetch::~PicturePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    turn.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

// Jobs are claimed in start-up order, so the picture needed next is always
// the one decoded soonest. The files are opened strictly in that order, and
// no file is opened before every JPEG ahead of it has decoded: a missing or
// damaged JPEG ends the run at its turn, and, as when loading was serial, no
// later file has been touched by then. The PNGs then decode side by side.
void PicturePrefetch::work() {
    for (;;) {
        size_t job = 0;
        std::FILE* file = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (stopping || openingStopped || nextJob >= ready.size()) return;
            job = nextJob++;
            turn.wait(lock, [&] { return openTurn == job || stopping || openingStopped; });
            if (stopping || openingStopped) return;
            file = std::fopen(pathOf(job), "rb");
            if (job >= jpegs.size()) openTurn++;
        }
        turn.notify_all();
        const bool decoded = decode(job, file);
        {
            std::lock_guard<std::mutex> lock(mutex);
            ready[job] = 1;
            if (job < jpegs.size()) {
                if (decoded)
                    openTurn++;
                else
                    openingStopped = true;
            }
        }
        turn.notify_all();
        finished.notify_all();
    }
}

const char* PicturePrefetch::pathOf(size_t job) const {
    return job < jpegs.size() ? jpegFiles[job] : pngFiles[job - jpegs.size()].path;
}

// Decodes the opened file (null: it could not be opened) and closes it;
// true when the picture decoded.
bool PicturePrefetch::decode(size_t job, std::FILE* file) {
    bool decoded = false;
    if (job < jpegs.size()) {
        JpegRead& read = jpegs[job];
        read.opened = file != nullptr;
        if (file) read.decoded = decodeJpegStream(file, read.image, read.error);
        decoded = read.decoded;
    } else if (file) {
        // The whole file in one read, then decoded from memory.
        std::vector<unsigned char> bytes;
        if (std::fseek(file, 0, SEEK_END) == 0) {
            const long size = std::ftell(file);
            if (size > 0) bytes.reserve(size_t(size));
            std::rewind(file);
        }
        unsigned char chunk[65536];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        PrefetchedPng& png = pngs[job - jpegs.size()];
        std::string error;
        png.decoded = !std::ferror(file) &&
                      decodePngMemory(bytes.data(), bytes.size(), true, png.image, error);
        decoded = png.decoded;
    }
    if (file) std::fclose(file);
    return decoded;
}

void PicturePrefetch::waitFor(size_t job) {
    if (workers.empty()) work();
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [&] { return ready[job] != 0; });
}

JpegRead& PicturePrefetch::takeJpeg(int slot) {
    waitFor(size_t(slot));
    return jpegs[size_t(slot)];
}

PrefetchedPng& PicturePrefetch::takePng(int slot) {
    waitFor(jpegs.size() + size_t(slot));
    return pngs[size_t(slot)];
}

// Held here from the start of the process until the pictures are made; an
// exit in between (a missing JPEG) stops the workers through its destructor.
static std::unique_ptr<PicturePrefetch> prefetch;

void startPictureDecoding() {
    if (!prefetch) prefetch = std::make_unique<PicturePrefetch>();
}

PicturePrefetch& picturePrefetch() {
    startPictureDecoding();
    return *prefetch;
}

void endPictureDecoding() {
    prefetch.reset();
}
