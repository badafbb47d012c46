// Signed-distance shapes in design units (negative inside) and the ways to
// combine them. Distances of combined shapes stay close to true distances,
// which the painter relies on to skip empty tiles.
#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "canvas.h"

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float k) {
    return {a.x * k, a.y * k};
}
inline float dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float length(Vec2 a) {
    return std::sqrt(dot(a, a));
}
inline Vec2 rotate(Vec2 p, float degrees) {
    const float a = degrees * 3.14159265f / 180.0f;
    const float c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}
inline float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
inline float smoothstep(float a, float b, float v) {
    const float t = clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

inline Sdf circle(Vec2 c, float r) {
    return [=](Vec2 p) { return length(p - c) - r; };
}

// An ellipse turned by `degrees`; the distance is scaled to stay near true.
inline Sdf ellipse(Vec2 c, float rx, float ry, float degrees = 0) {
    return [=](Vec2 p) {
        const Vec2 q = rotate(p - c, -degrees);
        const float k0 = length({q.x / rx, q.y / ry});
        const float k1 = length({q.x / (rx * rx), q.y / (ry * ry)});
        if (k1 < 1e-6f) return -std::min(rx, ry);
        return k0 * (k0 - 1) / k1;
    };
}

// A box of half sizes (hx, hy) with corners rounded by r, turned by `degrees`.
inline Sdf roundBox(Vec2 c, float hx, float hy, float r, float degrees = 0) {
    return [=](Vec2 p) {
        const Vec2 q = rotate(p - c, -degrees);
        const float dx = std::fabs(q.x) - hx + r, dy = std::fabs(q.y) - hy + r;
        const float outside = length({std::max(dx, 0.0f), std::max(dy, 0.0f)});
        return outside + std::min(std::max(dx, dy), 0.0f) - r;
    };
}

// A stroke from a to b whose radius runs from ra to rb.
inline Sdf capsule(Vec2 a, Vec2 b, float ra, float rb) {
    return [=](Vec2 p) {
        const Vec2 pa = p - a, ba = b - a;
        const float h = clamp01(dot(pa, ba) / std::max(dot(ba, ba), 1e-6f));
        return length(pa - ba * h) - (ra + (rb - ra) * h);
    };
}
inline Sdf capsule(Vec2 a, Vec2 b, float r) {
    return capsule(a, b, r, r);
}

// A closed polygon (either winding).
inline Sdf polygon(std::vector<Vec2> v) {
    return [v = std::move(v)](Vec2 p) {
        float d = dot(p - v[0], p - v[0]);
        float s = 1;
        for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
            const Vec2 e = v[j] - v[i], w = p - v[i];
            const Vec2 b = w - e * clamp01(dot(w, e) / dot(e, e));
            d = std::min(d, dot(b, b));
            const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
        }
        return s * std::sqrt(d);
    };
}

// The corner points of a star or burst: n spikes alternating between the two
// radii, the first spike pointing at `degrees` (0 = up). `jitter` varies the
// spike lengths by a fixed pattern, for comic bursts.
inline std::vector<Vec2> starPoints(Vec2 c, float rOuter, float rInner, int n, float degrees = 0,
                                    float jitter = 0) {
    std::vector<Vec2> pts;
    for (int i = 0; i < 2 * n; ++i) {
        const float a = (degrees + 180.0f * i / n) * 3.14159265f / 180.0f;
        float r = (i % 2 == 0) ? rOuter : rInner;
        if (i % 2 == 0 && jitter > 0) r *= 1.0f - jitter * (0.5f + 0.5f * std::sin(i * 2.39996f));
        pts.push_back({c.x + r * std::sin(a), c.y - r * std::cos(a)});
    }
    return pts;
}
inline Sdf star(Vec2 c, float rOuter, float rInner, int n, float degrees = 0, float jitter = 0) {
    return polygon(starPoints(c, rOuter, rInner, n, degrees, jitter));
}

inline Sdf unite(Sdf a, Sdf b) {
    return [=](Vec2 p) { return std::min(a(p), b(p)); };
}
inline Sdf unite(std::vector<Sdf> parts) {
    return [parts = std::move(parts)](Vec2 p) {
        float d = 1e9f;
        for (const Sdf& s : parts)
            d = std::min(d, s(p));
        return d;
    };
}
inline Sdf subtract(Sdf a, Sdf cut) {
    return [=](Vec2 p) { return std::max(a(p), -cut(p)); };
}
inline Sdf intersect(Sdf a, Sdf b) {
    return [=](Vec2 p) { return std::max(a(p), b(p)); };
}
// A union whose seam is rounded over k units, for bodies grown from blobs.
inline Sdf blend(Sdf a, Sdf b, float k) {
    return [=](Vec2 p) {
        const float da = a(p), db = b(p);
        const float h = clamp01(0.5f + 0.5f * (db - da) / k);
        return db + (da - db) * h - k * h * (1 - h);
    };
}
inline Sdf grow(Sdf a, float r) {
    return [=](Vec2 p) { return a(p) - r; };
}
// The shape mirrored about the vertical line x = axis.
inline Sdf mirrorX(Sdf a, float axis) {
    return [=](Vec2 p) { return a({2 * axis - p.x, p.y}); };
}
// The outline of a shape as a band of half width w.
inline Sdf ring(Sdf a, float w) {
    return [=](Vec2 p) { return std::fabs(a(p)) - w; };
}
inline Sdf moved(Sdf a, Vec2 by) {
    return [=](Vec2 p) { return a(p - by); };
}
