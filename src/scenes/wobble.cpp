// The three-stage sine wobble of the ball, in double precision, each stage
// stored back as 32-bit floats before the next one reads it. The vertices are
// independent of one another, so a second thread bends the second half of
// them while the caller bends the first: the same arithmetic on each vertex,
// the same bits.
#include "scenes/wobble.h"

#include <algorithm>
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

// One helper thread that lives as long as the process and sleeps between
// frames; made on the first wobble large enough to be worth splitting.
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

    // Hands over a range and returns at once; finish() waits for it.
    void start(const Vec3* rest, Vec3* out, int32_t first, int32_t last, double t) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            job = Job{rest, out, first, last, t};
            pending = true;
        }
        wake.notify_one();
    }
    void finish() {
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [this] { return !pending; });
    }

  private:
    struct Job {
        const Vec3* rest = nullptr;
        Vec3* out = nullptr;
        int32_t first = 0, last = 0;
        double t = 0.0;
    };

    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return pending || stopping; });
            if (stopping) return;
            const Job current = job;
            lock.unlock();
            wobbleRange(current.rest, current.out, current.first, current.last, current.t);
            lock.lock();
            pending = false;
            done.notify_one();
        }
    }

    std::mutex mutex;
    std::condition_variable wake, done;
    Job job;
    bool pending = false, stopping = false;
    std::thread thread; // last: it starts once the rest is ready
};

} // namespace

// Below this the hand-over costs more than the half it saves.
constexpr int32_t minSplitVertices = 512;

void wobbleBall(const Mesh& rest, Mesh& out, float demoTime) {
    const double t = demoTime;
    // A short or empty mesh on either side bounds the loop, never the reads.
    const int32_t n = std::min(rest.vertexCount, out.vertexCount);
    static const bool oneCore = std::thread::hardware_concurrency() < 2;
    if (n < minSplitVertices || oneCore) {
        wobbleRange(rest.vertices, out.vertices, 0, n, t);
        return;
    }
    static WobbleHelper helper;
    const int32_t half = n / 2;
    helper.start(rest.vertices, out.vertices, half, n, t);
    wobbleRange(rest.vertices, out.vertices, 0, half, t);
    helper.finish();
}
