// Grid arithmetic and the frames a picture depends on.
#include "grid.h"

#include <algorithm>
#include <cmath>

#include "app/timeline.h"

// Times that open or close an element inside a scene: the slides, the two
// monster sets and the attack pictures. The scene windows come from the
// timeline itself.
static const float elementWindowEdges[] = {2, 6, 10, 34, 35, 56.5f, 59, 60, 61, 63};

// Tolerance for times typed in decimal that lie on the grid (2.5 at 60 fps).
static constexpr double onGrid = 1e-6;

float gridTime(int64_t k, int fps) {
    return float(double(k) / fps);
}

int64_t firstGridFrameFrom(double t, int fps) {
    return int64_t(std::ceil(t * fps - onGrid));
}

int64_t lastGridFrameUpTo(double t, int fps) {
    return int64_t(std::floor(t * fps + onGrid));
}

int64_t lastGridFrameBefore(float t, int fps) {
    int64_t k = int64_t(std::ceil(double(t) * fps)) + 1;
    while (k >= 0 && !(gridTime(k, fps) < t))
        k--;
    return k;
}

float musicStartTime(int fps) {
    int64_t k = int64_t(std::floor(14.0 * fps));
    while (!(gridTime(k, fps) > 14.0f))
        k++;
    const float t = gridTime(k, fps);
    return t < 23.0f ? t : -1.0f;
}

std::vector<int64_t> framesBefore(float t, int fps) {
    std::vector<float> edges(std::begin(elementWindowEdges), std::end(elementWindowEdges));
    for (const SceneWindow& window : timeline) {
        edges.push_back(window.from);
        if (std::isfinite(window.to)) edges.push_back(window.to);
    }
    std::vector<int64_t> frames;
    const int64_t previous = lastGridFrameBefore(t, fps);
    for (float edge : edges) {
        const int64_t k = lastGridFrameBefore(edge, fps);
        if (k >= 0 && k < previous) frames.push_back(k);
    }
    if (previous >= 0) frames.push_back(previous);
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}
