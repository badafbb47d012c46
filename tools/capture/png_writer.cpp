// PNG encoding with libpng and the writer thread.
#include "png_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <png.h>

namespace {

constexpr size_t maxQueuedFrames = 4;

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              int level) {
    std::unique_ptr<FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::fprintf(stderr, "Out of memory writing %s\n", path.c_str());
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; y++)
        rows[size_t(y)] = const_cast<png_bytep>(&rgb[size_t(y) * size_t(width) * 3]);
    // libpng reports errors by longjmp; nothing with a destructor lives past this point.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    return true;
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
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return queue.size() < maxQueuedFrames || failed; });
    if (failed) return false;
    queue.push_back(Job{path, std::move(rgb)});
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
        const bool ok = writePng(job.path, width, height, job.rgb);
        lock.lock();
        busy--;
        if (!ok) failed = true;
        if (spares.size() < maxQueuedFrames) spares.push_back(std::move(job.rgb));
        changed.notify_all();
    }
}
