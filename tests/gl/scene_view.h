// Where eye-space points land in the demo's 640 x 480 window under its fixed
// 45-degree, 4:3 perspective, and a read-back of the whole frame: what the
// scene tests compare their pixels with.
#pragma once

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gl_fixture.h"

namespace sceneview {

constexpr double pi = 3.14159265358979323846;
// tan of half the vertical field of view
inline double tanHalfFov() {
    return std::tan(22.5 * pi / 180.0);
}

// Window x (pixels from the left edge) of the eye-space point (x, ., z).
inline double windowX(double x, double z) {
    return 320.0 + 320.0 * x / (-z * tanHalfFov() * 4.0 / 3.0);
}
// Window y (pixels from the top edge) of the eye-space point (., y, z).
inline double windowY(double y, double z) {
    return 240.0 - 240.0 * y / (-z * tanHalfFov());
}

// The first and last pixel column (or row) whose centre lies between two
// window edges: what the rasteriser fills for a span from edge a to edge b.
inline int firstCovered(double a) {
    return int(std::ceil(a - 0.5));
}
inline int lastCovered(double b) {
    return int(std::ceil(b - 0.5)) - 1;
}

// The whole colour buffer, rows from the top.
struct Frame {
    std::vector<uint8_t> rgba;
    Rgba at(int x, int y) const {
        const uint8_t* p = &rgba[(size_t(y) * 640 + size_t(x)) * 4];
        return Rgba{p[0], p[1], p[2], p[3]};
    }
};

inline Frame readFrame() {
    Frame frame;
    frame.rgba.resize(640 * 480 * 4);
    std::vector<uint8_t> bottomUp(frame.rgba.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < 480; ++y)
        std::copy_n(&bottomUp[size_t(479 - y) * 640 * 4], 640 * 4,
                    &frame.rgba[size_t(y) * 640 * 4]);
    return frame;
}

inline bool sameColour(Rgba p, int r, int g, int b, int tolerance = 2) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance &&
           std::abs(p.b - b) <= tolerance;
}

// The covered span of pixels matching a colour along one row (or column):
// first and last index, or -1, -1 when none matches.
struct Span {
    int first = -1, last = -1;
};
inline Span rowSpan(const Frame& frame, int y, int r, int g, int b) {
    Span span;
    for (int x = 0; x < 640; ++x)
        if (sameColour(frame.at(x, y), r, g, b)) {
            if (span.first < 0) span.first = x;
            span.last = x;
        }
    return span;
}
inline Span columnSpan(const Frame& frame, int x, int r, int g, int b) {
    Span span;
    for (int y = 0; y < 480; ++y)
        if (sameColour(frame.at(x, y), r, g, b)) {
            if (span.first < 0) span.first = y;
            span.last = y;
        }
    return span;
}

} // namespace sceneview
