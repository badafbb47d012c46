// PNG encoding (our own chunk writer over libdeflate) and the writer threads.
#include "png_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <libdeflate.h>

namespace {

constexpr size_t maxQueuedFrames = 4;

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
struct CompressorFree {
    void operator()(libdeflate_compressor* compressor) const {
        libdeflate_free_compressor(compressor);
    }
};

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
    putBigEndian(out, uint32_t(size));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    putBigEndian(out, libdeflate_crc32(0, &out[typeAt], size + 4));
}

} // namespace

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb, int level) {
    const size_t rowBytes = size_t(width) * 3;
    // Each row: the filter byte 1 (Sub), then each byte less the one three before.
    std::vector<uint8_t> filtered((rowBytes + 1) * size_t(height));
    for (size_t y = 0; y < size_t(height); y++) {
        const uint8_t* row = &rgb[y * rowBytes];
        uint8_t* out = &filtered[y * (rowBytes + 1)];
        out[0] = 1;
        for (size_t i = 0; i < 3 && i < rowBytes; i++)
            out[1 + i] = row[i];
        for (size_t i = 3; i < rowBytes; i++)
            out[1 + i] = uint8_t(row[i] - row[i - 3]);
    }
    // One compressor per thread: libdeflate's are not shared between threads.
    thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor;
    thread_local int compressorLevel = -1;
    if (!compressor || compressorLevel != level) {
        compressor.reset(libdeflate_alloc_compressor(level));
        compressorLevel = level;
    }
    if (!compressor) return {};
    std::vector<uint8_t> zlib(libdeflate_zlib_compress_bound(compressor.get(), filtered.size()));
    const size_t zlibSize = libdeflate_zlib_compress(compressor.get(), filtered.data(),
                                                     filtered.size(), zlib.data(), zlib.size());
    if (zlibSize == 0) return {};

    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> png(signature, signature + 8);
    std::vector<uint8_t> header;
    putBigEndian(header, uint32_t(width));
    putBigEndian(header, uint32_t(height));
    // 8 bits, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(png, "IHDR", header.data(), header.size());
    putChunk(png, "IDAT", zlib.data(), zlibSize);
    putChunk(png, "IEND", nullptr, 0);
    return png;
}

static bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              int level) {
    const std::vector<uint8_t> png = encodePng(width, height, rgb, level);
    if (png.empty()) {
        std::fprintf(stderr, "Cannot compress the picture for %s\n", path.c_str());
        return false;
    }
    return writeFileBytes(path, png);
}

PngWriterThread::PngWriterThread(int width, int height, int threads)
    : width(width), height(height) {
    for (int i = 0; i < std::max(threads, 1); i++)
        workers.emplace_back(&PngWriterThread::run, this);
}

PngWriterThread::~PngWriterThread() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

bool PngWriterThread::write(const std::string& path, std::vector<uint8_t>&& rgb) {
    Job job{path, std::move(rgb), std::make_shared<std::promise<std::vector<uint8_t>>>(), {}};
    job.bytes = job.encoded->get_future().share();
    return queueJob(std::move(job));
}

bool PngWriterThread::repeat(const std::string& path) {
    if (!lastBytes.valid()) return false;
    return queueJob(Job{path, {}, nullptr, lastBytes});
}

bool PngWriterThread::queueJob(Job&& job) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return queue.size() < maxQueuedFrames || failed; });
    if (failed) return false;
    lastBytes = job.bytes;
    queue.push_back(std::move(job));
    changed.notify_all();
    return true;
}

bool PngWriterThread::finish() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return (queue.empty() && busy == 0) || failed; });
    return !failed;
}

std::vector<uint8_t> PngWriterThread::spareBuffer() {
    std::lock_guard<std::mutex> lock(mutex);
    if (spares.empty()) return {};
    std::vector<uint8_t> buffer = std::move(spares.back());
    spares.pop_back();
    return buffer;
}

void PngWriterThread::run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return !queue.empty() || stopping; });
        if (queue.empty()) return;
        Job job = std::move(queue.front());
        queue.pop_front();
        busy++;
        lock.unlock();
        // A repeat waits for its frame, which was queued earlier and so is
        // already being written by some thread.
        if (job.encoded) job.encoded->set_value(encodePng(width, height, job.rgb));
        const std::vector<uint8_t>& bytes = job.bytes.get();
        const bool ok = !bytes.empty() && writeFileBytes(job.path, bytes);
        lock.lock();
        busy--;
        if (!ok) failed = true;
        if (job.encoded && spares.size() < maxQueuedFrames) spares.push_back(std::move(job.rgb));
        changed.notify_all();
    }
}
