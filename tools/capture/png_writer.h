// Writing RGB frames as PNG files: deterministic bytes (no time chunk, fixed
// settings), on threads of their own so that drawing and encoding overlap.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The PNG file of width x height RGB rows, top row first: 8-bit RGB, every
// row with the Sub filter, one IDAT compressed by libdeflate at `level`
// (level 1 is about twice as fast as zlib's fastest and smaller still).
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgb,
                               int level = 1);
// Writes encodePng's bytes to path. False with a message on failure.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              int level = 1);

// Frames handed to writer threads, a few at a time. Each file is written by
// one thread alone, so the bytes do not depend on how many there are.
class PngWriterThread {
  public:
    PngWriterThread(int width, int height, int threads = 1);
    ~PngWriterThread(); // finishes what is queued
    PngWriterThread(const PngWriterThread&) = delete;
    PngWriterThread& operator=(const PngWriterThread&) = delete;

    // Queues a frame (taking its pixels); waits while the queue is full.
    // False once any write has failed.
    bool write(const std::string& path, std::vector<uint8_t>&& rgb);
    // Queues a file with the same bytes as the frame queued last: a frame
    // that did not change is not compressed again.
    bool repeat(const std::string& path);
    // Waits for every queued frame; false if any write failed.
    bool finish();
    // A buffer of a written frame to fill again (empty when none is free yet),
    // which spares a fresh allocation per frame.
    std::vector<uint8_t> spareBuffer();

  private:
    using Bytes = std::shared_future<std::vector<uint8_t>>;
    struct Job {
        std::string path;
        std::vector<uint8_t> rgb;                                    // empty for a repeat
        std::shared_ptr<std::promise<std::vector<uint8_t>>> encoded; // null for a repeat
        Bytes bytes;                                                 // the file's bytes, once made
    };
    bool queueJob(Job&& job);
    void run();

    int width, height;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> queue;
    std::vector<std::vector<uint8_t>> spares;
    Bytes lastBytes; // the frame queued last, for repeats
    int busy = 0;    // threads writing a file now
    bool stopping = false;
    bool failed = false;
    std::vector<std::thread> workers;
};
