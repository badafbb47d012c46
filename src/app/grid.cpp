// Grid arithmetic and the frames a picture depends on.
#include "app/grid.h"

#include <cmath>

#include "app/timeline.h"

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
    const SceneWindow& window = musicWindow();
    int64_t k = int64_t(std::floor(double(window.from) * fps));
    while (!(gridTime(k, fps) > window.from))
        k++;
    const float t = gridTime(k, fps);
    return t < window.to ? t : -1.0f;
}
