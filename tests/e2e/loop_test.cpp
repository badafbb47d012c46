// A looping run draws the timeline again from 0 once it ends: through the
// capture path, every frame of the second pass must be the frame the first
// pass drew at that time, whatever state the credits and the end left.
// Needs the generated data set.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/next_pass.h"
#include "grid.h"
#include "render.h"

namespace fs = std::filesystem;

// FNV-1a over the frame's bytes: equal frames, equal hashes.
static uint64_t frameHash(const std::vector<uint8_t>& rgb) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : rgb)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

TEST(Loop, EveryFrameOfTheSecondPassIsTheFrameOfTheFirst) {
    const fs::path data = fs::path(QUARNEL_BINARY_DIR) / "data";
    ASSERT_TRUE(fs::exists(data / ".made")) << "the data set is not generated in " << data;
    const fs::path previous = fs::current_path();
    fs::current_path(QUARNEL_BINARY_DIR);
    constexpr int fps = 5;
    CaptureContext capture;
    ASSERT_TRUE(openCapture(capture, 320, 240, fps));

    // Grid frame 0 lies on the timeline's edge and draws nothing; a live
    // frame is always later.
    const int64_t last = lastGridFrameBefore(90.0f, fps);
    std::vector<uint8_t> rgb;
    std::vector<uint64_t> firstPass;
    for (int64_t k = 1; k <= last; k++) {
        drawCaptureFrame(capture, gridTime(k, fps));
        readFrame(capture, rgb);
        firstPass.push_back(frameHash(rgb));
    }
    drawCaptureFrame(capture, 90.1f); // the end, as a live pass's last frame may fall past it
    resetStateForNextPass();
    int differing = 0;
    for (int64_t k = 1; k <= last; k++) {
        drawCaptureFrame(capture, gridTime(k, fps));
        readFrame(capture, rgb);
        if (frameHash(rgb) != firstPass[size_t(k - 1)] && differing++ < 5)
            ADD_FAILURE() << "the second pass differs at " << gridTime(k, fps) << " s";
    }
    EXPECT_EQ(differing, 0);
    fs::current_path(previous);
}
