// Writing RGB frames as PNG files: deterministic bytes (no time chunk, fixed
// settings), on a second thread so that drawing and encoding overlap.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Writes width x height RGB rows, top row first. zlib level 1 is quick and
// still small for the demo's flat pictures. False with a message on failure.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              int level = 1);

// Frames handed to one writer thread, a few at a time.
class PngWriterThread {
  public:
    PngWriterThread(int width, int height);
    ~PngWriterThread(); // finishes what is queued
    PngWriterThread(const PngWriterThread&) = delete;
    PngWriterThread& operator=(const PngWriterThread&) = delete;

    // Queues a frame (taking its pixels); waits while the queue is full.
    // False once any write has failed.
    bool write(const std::string& path, std::vector<uint8_t>&& rgb);
    // Waits for every queued frame; false if any write failed.
    bool finish();

  private:
    struct Job {
        std::string path;
        std::vector<uint8_t> rgb;
    };
    void run();

    int width, height;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> queue;
    bool busy = false;
    bool stopping = false;
    bool failed = false;
    std::thread worker;
};
