// The canvas painter: shapes, stickers, blur, glow, bleed and noise.
#include "canvas.h"

#include <algorithm>
#include <cmath>

#include "sdf.h"

Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}
Color shade(Color c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}
Color withAlpha(Color c, float a) {
    return {c.r, c.g, c.b, a};
}

Canvas::Canvas(int side)
    : size(side), scale(side / 256.0f), px(static_cast<size_t>(side) * side * 4, 0.0f) {}

void blendOver(float* dst, Color c, float coverage) {
    const float a = clamp01(c.a * coverage);
    dst[0] = c.r * a + dst[0] * (1 - a);
    dst[1] = c.g * a + dst[1] * (1 - a);
    dst[2] = c.b * a + dst[2] * (1 - a);
    dst[3] = a + dst[3] * (1 - a);
}

void blendAdd(float* dst, Color c, float coverage) {
    const float a = c.a * coverage;
    dst[0] = std::min(1.0f, dst[0] + c.r * a);
    dst[1] = std::min(1.0f, dst[1] + c.g * a);
    dst[2] = std::min(1.0f, dst[2] + c.b * a);
    dst[3] = std::min(1.0f, dst[3] + a);
}

void fillAll(Canvas& cv, Color c) {
    for (int y = 0; y < cv.size; ++y)
        for (int x = 0; x < cv.size; ++x) {
            float* d = cv.at(x, y);
            d[0] = c.r * c.a, d[1] = c.g * c.a, d[2] = c.b * c.a, d[3] = c.a;
        }
}

static Vec2 designPoint(const Canvas& cv, int x, int y) {
    return {(x + 0.5f) / cv.scale - cv.origin.x, (y + 0.5f) / cv.scale - cv.origin.y};
}

void fillWith(Canvas& cv, const Fill& fill) {
    for (int y = 0; y < cv.size; ++y)
        for (int x = 0; x < cv.size; ++x)
            blendOver(cv.at(x, y), fill(designPoint(cv, x, y)), 1);
}

void fillWithSupersampled(Canvas& cv, const Fill& fill) {
    for (int y = 0; y < cv.size; ++y)
        for (int x = 0; x < cv.size; ++x) {
            Color sum{0, 0, 0, 0};
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const Color c = fill({(x + (sx + 0.5f) / 4) / cv.scale - cv.origin.x,
                                          (y + (sy + 0.5f) / 4) / cv.scale - cv.origin.y});
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            if (sum.a <= 0) continue;
            blendOver(cv.at(x, y), {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / 16}, 1);
        }
}

// Distances in pixels for every pixel near the shape; far tiles keep a large
// value. A tile of 8 px is skipped when its centre lies further outside than
// its half diagonal plus a safety margin.
static constexpr float farAway = 1e6f;
static std::vector<float> distanceField(const Canvas& cv, const Sdf& sdf) {
    std::vector<float> dist(static_cast<size_t>(cv.size) * cv.size, farAway);
    const int tile = 8;
    for (int ty = 0; ty < cv.size; ty += tile)
        for (int tx = 0; tx < cv.size; tx += tile) {
            const float centre = sdf(designPoint(cv, tx + tile / 2, ty + tile / 2)) * cv.scale;
            if (centre > tile * 0.75f + 12) continue;
            for (int y = ty; y < std::min(ty + tile, cv.size); ++y)
                for (int x = tx; x < std::min(tx + tile, cv.size); ++x)
                    dist[static_cast<size_t>(y) * cv.size + x] =
                        sdf(designPoint(cv, x, y)) * cv.scale;
        }
    return dist;
}

static float coverageOf(float distPx) {
    return 1 - smoothstep(-0.75f, 0.75f, distPx);
}

void fillShape(Canvas& cv, const Sdf& sdf, const Fill& fill, bool additive) {
    const std::vector<float> dist = distanceField(cv, sdf);
    for (int y = 0; y < cv.size; ++y)
        for (int x = 0; x < cv.size; ++x) {
            const float cov = coverageOf(dist[static_cast<size_t>(y) * cv.size + x]);
            if (cov <= 0) continue;
            const Color c = fill(designPoint(cv, x, y));
            if (additive)
                blendAdd(cv.at(x, y), c, cov);
            else
                blendOver(cv.at(x, y), c, cov);
        }
}

void fillShape(Canvas& cv, const Sdf& sdf, Color c, bool additive) {
    fillShape(
        cv, sdf, [c](Vec2) { return c; }, additive);
}

void drawSticker(Canvas& cv, const Sdf& sdf, const Sticker& s) {
    const std::vector<float> dist = distanceField(cv, sdf);
    const int n = cv.size;
    auto distAt = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= n || y >= n) return farAway;
        return dist[static_cast<size_t>(y) * n + x];
    };
    // The gradient and the gloss follow the shape's own extent.
    int y0 = n, y1 = 0, x0 = n, x1 = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (dist[static_cast<size_t>(y) * n + x] < 0) {
                y0 = std::min(y0, y), y1 = std::max(y1, y);
                x0 = std::min(x0, x), x1 = std::max(x1, x);
            }
    if (y1 < y0) return;
    const float extent = static_cast<float>(std::min(x1 - x0, y1 - y0));
    const int k = std::max(2, static_cast<int>(std::lround(extent * 0.06f)));
    const int hk = std::max(2, static_cast<int>(std::lround(extent * 0.09f)));
    const float outlinePx = s.outline * cv.scale;

    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float d = dist[static_cast<size_t>(y) * n + x];
            const float cov = coverageOf(d);
            if (cov <= 0) continue;
            const float t = clamp01(static_cast<float>(y - y0) / std::max(1, y1 - y0));
            Color c = mix(s.top, s.bottom, t);
            if (s.gloss > 0) {
                // The rim: pixels whose lower-right neighbour lies outside.
                const float rim = smoothstep(-0.6f * k, 0.4f * k, distAt(x + k, y + k));
                c = shade(c, 1 - 0.32f * s.gloss * rim);
                // The highlight: pixels whose upper-left neighbour lies outside.
                const float hl = smoothstep(-0.8f * hk, 0.6f * hk, distAt(x - hk, y - hk));
                c = mix(c, withAlpha(pal::bone, c.a), 0.42f * s.gloss * hl);
            }
            const float inner = coverageOf(d + outlinePx);
            c = mix(withAlpha(pal::ink, c.a), c, outlinePx > 0 ? inner : 1);
            blendOver(cv.at(x, y), c, cov);
        }
}

void drawSticker(Canvas& cv, const Sdf& sdf, Color c, float outline) {
    drawSticker(cv, sdf, Sticker{mix(c, pal::bone, 0.18f), shade(c, 0.82f), outline, 1});
}

// One box pass along rows (step 1) or columns (step size) on all four channels.
static void boxPass(Canvas& cv, int radius, bool alongRows) {
    const int n = cv.size;
    std::vector<float> line(static_cast<size_t>(n) * 4), out(static_cast<size_t>(n) * 4);
    const float norm = 1.0f / (2 * radius + 1);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float* p = alongRows ? cv.at(i, j) : cv.at(j, i);
            std::copy(p, p + 4, &line[static_cast<size_t>(i) * 4]);
        }
        float sum[4] = {0, 0, 0, 0};
        auto sample = [&](int i, int c) { return (i < 0 || i >= n) ? 0.0f : line[i * 4 + c]; };
        for (int i = -radius; i <= radius; ++i)
            for (int c = 0; c < 4; ++c)
                sum[c] += sample(i, c);
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 4; ++c) {
                out[static_cast<size_t>(i) * 4 + c] = sum[c] * norm;
                sum[c] += sample(i + radius + 1, c) - sample(i - radius, c);
            }
        }
        for (int i = 0; i < n; ++i) {
            float* p = alongRows ? cv.at(i, j) : cv.at(j, i);
            std::copy(&out[static_cast<size_t>(i) * 4], &out[static_cast<size_t>(i) * 4] + 4, p);
        }
    }
}

void blur(Canvas& cv, float radiusPx) {
    const int r = std::max(1, static_cast<int>(std::lround(radiusPx * 0.5f)));
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(cv, r, true);
        boxPass(cv, r, false);
    }
}

void addInto(Canvas& dst, const Canvas& src, float gain) {
    for (size_t i = 0; i < dst.px.size(); ++i)
        dst.px[i] = std::min(1.0f, dst.px[i] + src.px[i] * gain);
}

void over(Canvas& dst, const Canvas& src) {
    for (size_t i = 0; i < dst.px.size(); i += 4) {
        const float a = src.px[i + 3];
        for (int c = 0; c < 4; ++c)
            dst.px[i + c] = src.px[i + c] + dst.px[i + c] * (1 - a);
    }
}

void stampHalf(Canvas& dst, const Canvas& src, int x0, int y0, bool mirror) {
    const int half = src.size / 2;
    for (int y = 0; y < half; ++y)
        for (int x = 0; x < half; ++x) {
            const int dx = x0 + x, dy = y0 + y;
            if (dx < 0 || dy < 0 || dx >= dst.size || dy >= dst.size) continue;
            const int sx = mirror ? src.size - 2 - 2 * x : 2 * x;
            float avg[4];
            for (int c = 0; c < 4; ++c)
                avg[c] = 0.25f * (src.at(sx, 2 * y)[c] + src.at(sx + 1, 2 * y)[c] +
                                  src.at(sx, 2 * y + 1)[c] + src.at(sx + 1, 2 * y + 1)[c]);
            float* d = dst.at(dx, dy);
            for (int c = 0; c < 4; ++c)
                d[c] = avg[c] + d[c] * (1 - avg[3]);
        }
}

void addGlow(Canvas& cv, float strongNear, float strongFar) {
    Canvas nearGlow = cv, farGlow = cv;
    blur(nearGlow, 4 * cv.scale);
    blur(farGlow, 16 * cv.scale);
    addInto(cv, nearGlow, strongNear);
    addInto(cv, farGlow, strongFar);
}

// Grows the colour outwards one ring of texels at a time: each transparent
// texel takes the average colour of its neighbours coloured in earlier rings
// (the first ring: of the visible texels it touches).
static void bleedColor(std::vector<uint8_t>& rgba, int n) {
    std::vector<uint8_t> state(static_cast<size_t>(n) * n, 0); // 0 open, 1 coloured, 2 queued
    for (int i = 0; i < n * n; ++i)
        if (rgba[static_cast<size_t>(i) * 4 + 3] > 0) state[i] = 1;
    auto queueNeighbours = [&](int i, std::vector<int>& into) {
        const int x = i % n, y = i / n;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= n || ny >= n || state[ny * n + nx] != 0) continue;
                state[ny * n + nx] = 2;
                into.push_back(ny * n + nx);
            }
    };
    std::vector<int> ring;
    for (int i = 0; i < n * n; ++i)
        if (state[i] == 1) queueNeighbours(i, ring);
    std::vector<uint8_t> colours;
    while (!ring.empty()) {
        colours.assign(ring.size() * 3, 0);
        for (size_t k = 0; k < ring.size(); ++k) {
            const int x = ring[k] % n, y = ring[k] / n;
            int sum[3] = {0, 0, 0}, count = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= n || ny >= n || state[ny * n + nx] != 1) continue;
                    const size_t j = (static_cast<size_t>(ny) * n + nx) * 4;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += rgba[j + c];
                    ++count;
                }
            for (int c = 0; c < 3; ++c)
                colours[k * 3 + c] =
                    static_cast<uint8_t>((sum[c] + count / 2) / std::max(count, 1));
        }
        for (size_t k = 0; k < ring.size(); ++k) {
            state[ring[k]] = 1;
            for (int c = 0; c < 3; ++c)
                rgba[static_cast<size_t>(ring[k]) * 4 + c] = colours[k * 3 + c];
        }
        std::vector<int> next;
        for (int i : ring)
            queueNeighbours(i, next);
        ring.swap(next);
    }
}

static uint32_t mixBits(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

float hash2(int x, int y, uint32_t seed) {
    const uint32_t h = mixBits(static_cast<uint32_t>(x) * 0x9e3779b1U ^
                               mixBits(static_cast<uint32_t>(y) + seed * 0x85ebca6bU));
    return (h & 0xffffff) / 16777216.0f;
}

float valueNoise(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    auto lattice = [&](int i, int j) {
        return hash2(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const float u = smoothstep(0, 1, x - fx), v = smoothstep(0, 1, y - fy);
    const float a = lattice(ix, iy), b = lattice(ix + 1, iy);
    const float c = lattice(ix, iy + 1), d = lattice(ix + 1, iy + 1);
    return (a + (b - a) * u) * (1 - v) + (c + (d - c) * u) * v;
}

float fbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, amp = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, period, seed + o * 101);
        total += amp;
        x *= 2, y *= 2, period *= 2, amp *= 0.5f;
    }
    return sum / total;
}

std::vector<uint8_t> toRgba8(const Canvas& cv) {
    std::vector<uint8_t> out(cv.px.size());
    for (size_t i = 0; i < cv.px.size(); i += 4) {
        const float a = clamp01(cv.px[i + 3]);
        for (int c = 0; c < 3; ++c) {
            const float v = a > 0 ? clamp01(cv.px[i + c] / a) : 0.0f;
            out[i + c] = static_cast<uint8_t>(std::lround(v * 255));
        }
        out[i + 3] = static_cast<uint8_t>(std::lround(a * 255));
    }
    bleedColor(out, cv.size);
    return out;
}
