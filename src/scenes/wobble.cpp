// The three-stage sine wobble of the ball, in double precision, each stage
// stored back as 32-bit floats before the next one reads it.
#include "scenes/wobble.h"

#include <algorithm>
#include <cmath>

// a x (1.5 + 0.5 sin k): between a and 2a, with the sign of a.
static float wobbleFactor(double a, double k) {
    return float(a * 1.5 + a * 0.5 * std::sin(k));
}

void wobbleBall(const Mesh& rest, Mesh& out, float demoTime) {
    const double t = demoTime;
    // A short or empty mesh on either side bounds the loop, never the reads.
    const int32_t n = std::min(rest.vertexCount, out.vertexCount);
    for (int32_t i = 0; i < n; ++i) {
        Vec3& q = out.vertices[i];
        // Each stage reads all three of its inputs before it writes.
        const Vec3 p = rest.vertices[i];
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
