// The three-stage sine wobble of the ball, in double precision, each stage
// stored back as 32-bit floats before the next one reads it. The vertices are
// independent of one another, so a second thread shares the vertices with
// the caller: the same arithmetic on each vertex, the same bits.
#include "scenes/wobble.h"

#include <GL/gl.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

// a x (1.5 + 0.5 sin k): between a and 2a, with the sign of a.
static float wobbleFactor(double a, double k) {
    return float(a * 1.5 + a * 0.5 * std::sin(k));
}

// Bends rest.vertices[first, last) into out.vertices.
static void wobbleRange(const Vec3* rest, Vec3* out, int32_t first, int32_t last, double t) {
    for (int32_t i = first; i < last; ++i) {
        Vec3& q = out[i];
        // Each stage reads all three of its inputs before it writes.
        const Vec3 p = rest[i];
        q = Vec3(wobbleFactor(p.x, 0.5 * p.z + 3.0 * t), wobbleFactor(p.y, 0.2 * p.z + 3.5 * t),
                 p.z);
        const Vec3 a = q;
        q = Vec3(wobbleFactor(a.x, 0.5 * a.y + 3.0 * t), a.y,
                 wobbleFactor(a.z, 0.2 * a.y + 3.5 * t));
        const Vec3 b = q;
        q = Vec3(b.x, wobbleFactor(b.y, 0.5 * b.x + 3.0 * t),
                 wobbleFactor(b.z, 0.2 * b.x + 3.5 * t));
    }
}

namespace {

// The vertices go in chunks that either thread may take, so a helper that
// the system is slow to schedule costs nothing: the caller then bends them
// all itself.
constexpr int32_t chunkVertices = 160;

// One helper thread that lives as long as the process and sleeps between
// frames; made on the first wobble large enough to be worth sharing.
class WobbleHelper {
  public:
    WobbleHelper() : thread([this] { run(); }) {}
    ~WobbleHelper() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }

    // Bends every chunk of rest into out, sharing them with the helper.
    void wobble(const Vec3* rest, Vec3* out, int32_t n, double t) {
        const uint32_t chunks = uint32_t((n + chunkVertices - 1) / chunkVertices);
        uint64_t generation = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            job = Job{rest, out, n, t, ++jobCount};
            generation = jobCount;
            finishedChunks.store(0);
            claims.store(generation << 32);
        }
        wake.notify_one();
        bendChunks(job, chunks);
        // Only chunks the helper has already taken can be outstanding.
        while (finishedChunks.load() < chunks)
            std::this_thread::yield();
    }

  private:
    struct Job {
        const Vec3* rest = nullptr;
        Vec3* out = nullptr;
        int32_t n = 0;
        double t = 0.0;
        uint64_t generation = 0;
    };

    // Takes chunks of this job (claims carry the job's number, so a late
    // helper can never take a chunk of a later job) until none is left.
    void bendChunks(const Job& current, uint32_t chunks) {
        for (;;) {
            uint64_t claim = claims.load();
            do {
                if ((claim >> 32) != current.generation || uint32_t(claim) >= chunks) return;
            } while (!claims.compare_exchange_weak(claim, claim + 1));
            const int32_t first = int32_t(uint32_t(claim)) * chunkVertices;
            wobbleRange(current.rest, current.out, first,
                        std::min(first + chunkVertices, current.n), current.t);
            finishedChunks.fetch_add(1);
        }
    }

    void run() {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return jobCount != seen || stopping; });
            if (stopping) return;
            const Job current = job;
            seen = current.generation;
            lock.unlock();
            bendChunks(current, uint32_t((current.n + chunkVertices - 1) / chunkVertices));
            lock.lock();
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    Job job;
    uint64_t jobCount = 0;
    bool stopping = false;
    std::atomic<uint64_t> claims{0}; // job number << 32 | next chunk
    std::atomic<uint32_t> finishedChunks{0};
    std::thread thread; // last: it starts once the rest is ready
};

} // namespace

// Below this the hand-over costs more than the share it saves.
constexpr int32_t minSplitVertices = 512;

void wobbleBall(const Mesh& rest, Mesh& out, float demoTime) {
    // What the frame has drawn so far (the room's walls, which fill the
    // window) goes to the renderer's rasteriser threads now, so they fill it
    // while this thread bends the ball and sends its edges, instead of after.
    // The same pixels: the rasteriser works through its batches in order.
    glFlush();
    const double t = demoTime;
    // A short or empty mesh on either side bounds the loop, never the reads.
    const int32_t n = std::min(rest.vertexCount, out.vertexCount);
    static const bool oneCore = std::thread::hardware_concurrency() < 2;
    if (n < minSplitVertices || oneCore) {
        wobbleRange(rest.vertices.data(), out.vertices.data(), 0, n, t);
        return;
    }
    static WobbleHelper helper;
    helper.wobble(rest.vertices.data(), out.vertices.data(), n, t);
}
