// The OpenGL 1.1 layer against OpenGL itself: quarnel-capture (fixed-function
// GL) and quarnel-capture-gles (the same sources drawn through the layer on
// OpenGL ES 2) draw every scene and element window of the generated data set
// just after it opens, in its middle and just before it closes; the frames
// must agree.
//
// Tolerance, per frame of 640 x 480:
// - a pixel agrees when each channel is within 2 of GL's: the shader and the
//   fixed pipeline may round a modulated or blended colour a level apart;
// - a pixel that differs more is one over when GL drew its colour (within 2)
//   at one of its eight neighbours: a line or polygon edge rasterised a pixel
//   away. At most 0.1 % of the frame (307 pixels);
// - any other differing pixel counts as a level-of-detail flip: where a 2 x 2
//   quad's level of detail lies within rounding of a mip-level boundary, GL's
//   fixed-function program and the layer's shader (the same sampler, other
//   arithmetic) can pick neighbouring levels; the scrolling tunnel shows up
//   to 60 such pixels. At most 128 (0.04 %). A wrong colour path (texture,
//   blending, matrices, the sphere's layout) changes thousands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/timeline.h"
#include "image/png_decode.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

// Every stretch between two edges of the scene and element windows, seen
// 0.05 s after it opens, in its middle and 0.05 s before it closes.
static std::vector<double> moments() {
    const std::vector<float> edges = timelineEdges();
    std::vector<double> at;
    for (size_t i = 1; i < edges.size(); i++) {
        const double from = edges[i - 1], to = edges[i];
        at.insert(at.end(), {from + 0.05, (from + to) / 2.0, to - 0.05});
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    return at;
}

// Runs capture in the build folder (where data/ is) for stills at times into out.
static int runCapture(const std::string& capture, const std::vector<double>& times,
                      const fs::path& out) {
    std::string line = "cd '" + binaryDir() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                       binaryDir() + "/" + capture + "' --out '" + out.string() + "'";
    for (double t : times)
        line += " --at " + std::to_string(t);
    const int status = std::system((line + " >/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static bool near(const unsigned char* a, const unsigned char* b) {
    for (int c = 0; c < 3; c++)
        if (std::abs(int(a[c]) - int(b[c])) > 2) return false;
    return true;
}

struct Agreement {
    int oneOver = 0; // off by more than 2, but GL's colour one pixel over
    int other = 0;   // off by more than 2, GL's colour nowhere near
    int firstOtherX = -1, firstOtherY = -1;
};

static Agreement compare(const PngImage& gl, const PngImage& layer) {
    Agreement result;
    const int w = int(gl.width), h = int(gl.height);
    auto at = [w](const PngImage& image, int x, int y) {
        return &image.pixels[size_t(y * w + x) * 3];
    };
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (near(at(gl, x, y), at(layer, x, y))) continue;
            bool shifted = false;
            for (int dy = -1; dy <= 1 && !shifted; dy++)
                for (int dx = -1; dx <= 1 && !shifted; dx++) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h)
                        shifted = near(at(gl, nx, ny), at(layer, x, y));
                }
            if (shifted) {
                result.oneOver++;
            } else if (result.other++ == 0) {
                result.firstOtherX = x, result.firstOtherY = y;
            }
        }
    return result;
}

TEST(Gl11Layer, DrawsEveryScene_AsOpenGlDoes) {
    const fs::path root = fs::temp_directory_path() / ("quarnel-gl11-" + std::to_string(getpid()));
    fs::remove_all(root);
    const std::vector<double> times = moments();
    ASSERT_GE(times.size(), 40u);
    ASSERT_EQ(runCapture("quarnel-capture", times, root / "gl"), 0);
    ASSERT_EQ(runCapture("quarnel-capture-gles", times, root / "layer"), 0);

    for (double t : times) {
        char name[32];
        std::snprintf(name, sizeof name, "at-%06lld.png", (long long)std::llround(t * 1000.0));
        PngImage gl, layer;
        std::string error;
        ASSERT_TRUE(decodePngFile((root / "gl" / name).c_str(), false, gl, error)) << error;
        ASSERT_TRUE(decodePngFile((root / "layer" / name).c_str(), false, layer, error)) << error;
        ASSERT_EQ(gl.width, 640u);
        ASSERT_EQ(layer.width, gl.width);
        ASSERT_EQ(layer.height, gl.height);
        const Agreement a = compare(gl, layer);
        std::printf("%7.3f s: %d pixels one over, %d other\n", t, a.oneOver, a.other);
        EXPECT_LE(a.oneOver, 640 * 480 / 1000) << "at " << t << " s";
        EXPECT_LE(a.other, 128) << "at " << t << " s, first at (" << a.firstOtherX << ", "
                                << a.firstOtherY << ")";
    }
    fs::remove_all(root);
}
