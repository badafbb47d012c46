// The floor under start-up: reading and decoding every picture and object
// file that start-up loads, on two threads, with nothing else (no window, no
// OpenGL). Usage: bench_decode_floor [RUNS] from the folder that holds data/;
// prints the median wall time of the runs in milliseconds.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "image/jpeg_decode.h"
#include "image/png_decode.h"
#include "mesh/tegn3d.h"
#include "platform/message_box.h"
#include "resources/demo_state.h"

struct Job {
    enum Kind { jpeg, png, object } kind;
    const char* path;
};

static std::vector<Job> startupFiles() {
    std::vector<Job> jobs;
    for (const char* path : jpegFiles)
        jobs.push_back({Job::jpeg, path});
    for (const PngFile& file : pngFiles)
        jobs.push_back({Job::png, file.path});
    for (const char* path : {"data/objects/tunnel.ebr", "data/objects/bicube.ebr",
                             "data/objects/kube2.ebr", "data/objects/kule.ebr"})
        jobs.push_back({Job::object, path});
    return jobs;
}

static bool decode(const Job& job) {
    std::string error;
    switch (job.kind) {
    case Job::jpeg: {
        JpegImage image;
        return decodeJpegFile(job.path, image, error);
    }
    case Job::png: {
        PngImage image;
        return decodePngFile(job.path, true, image, error);
    }
    case Job::object: {
        tegn3d model;
        return model.loadFromFile(job.path);
    }
    }
    return false;
}

// One run: two threads take the files in start-up order until none is left.
static double runOnce(const std::vector<Job>& jobs, std::atomic<bool>& failed) {
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < jobs.size();)
            if (!decode(jobs[i])) failed = true;
    };
    const auto start = std::chrono::steady_clock::now();
    std::thread second(worker);
    worker();
    second.join();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

static void printMessage(const char* text, const char* caption, SDL_Window*) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

int main(int argc, char** argv) {
    setMessageBoxHandler(printMessage);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::vector<Job> jobs = startupFiles();
    std::atomic<bool> failed{false};
    std::vector<double> times;
    for (int run = 0; run < runs; run++)
        times.push_back(runOnce(jobs, failed));
    if (failed) {
        std::fprintf(stderr, "some file of the data set did not decode\n");
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("decode floor (%zu files, 2 threads)  %6.1f ms (median of %d)\n", jobs.size(),
                times[times.size() / 2], runs);
    return 0;
}
