// quarnel-capture at sizes that are not 4:3: the picture takes the largest
// centred 4:3 rectangle, drawn as a 4:3 frame of that size is (to a step of
// rounding), and the bars around it stay black. Runs the capture tool on the
// generated data set at 70 s (the wobble scene, whose room fills the picture)
// and 85 s (the credits, whose outer plates reach past the picture's sides).
#include <png.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tree_paths.h"

namespace fs = std::filesystem;

struct Frame {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    int at(int x, int y, int c) const { return rgb[(size_t(y) * width + x) * 3 + c]; }
    bool black(int x, int y) const { return !at(x, y, 0) && !at(x, y, 1) && !at(x, y, 2); }
};

static Frame readPng(const fs::path& path) {
    Frame frame;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return frame;
    image.format = PNG_FORMAT_RGB;
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        frame.width = int(image.width);
        frame.height = int(image.height);
    }
    return frame;
}

static std::vector<Frame> capture(const fs::path& out, const std::string& size) {
    const std::string command = "cd " + binaryDir() +
                                " && ./quarnel-capture --at 70 --at 85 "
                                "--size " +
                                size + " --out " + (out / size).string() + " >/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return {readPng(out / size / "at-070000.png"), readPng(out / size / "at-085000.png")};
}

// Counts the pixels of framed that are neither the plain frame's, placed at
// (left, top), nor black outside it.
static int misplacedPixels(const Frame& framed, const Frame& plain, int left, int top) {
    int wrong = 0;
    for (int y = 0; y < framed.height; y++)
        for (int x = 0; x < framed.width; x++) {
            const int px = x - left, py = y - top;
            if (px < 0 || py < 0 || px >= plain.width || py >= plain.height) {
                wrong += !framed.black(x, y);
                continue;
            }
            // Texture coordinates interpolate from other window positions,
            // which may round a channel the other way.
            for (int c = 0; c < 3; c++)
                wrong += std::abs(framed.at(x, y, c) - plain.at(px, py, c)) > 1;
        }
    return wrong;
}

TEST(CaptureBars, PictureIsTheFourThreeFrameCentredBetweenBlackBars) {
    char pattern[] = "/tmp/quarnel-bars-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path out = pattern;
    const std::vector<Frame> plain = capture(out, "240x180"), wide = capture(out, "320x180");
    // 241 x 241 holds 241 x 180: 30 black rows under it in OpenGL's bottom-up
    // rows, so 31 above and 30 below in the file's top-down ones.
    const std::vector<Frame> tall = capture(out, "241x241");
    fs::remove_all(out);
    ASSERT_TRUE(plain.size() == 2 && wide.size() == 2 && tall.size() == 2);
    for (int i = 0; i < 2; i++) {
        ASSERT_EQ(wide[i].width, 320);
        EXPECT_EQ(misplacedPixels(wide[i], plain[i], 40, 0), 0) << "frame " << i;
        ASSERT_EQ(tall[i].height, 241);
        int barPixels = 0, litEdgePixels = 0;
        for (int x = 0; x < 241; x++) {
            for (int y : {0, 30, 211, 240})
                barPixels += !tall[i].black(x, y);
            for (int y : {31, 210})
                litEdgePixels += !tall[i].black(x, y);
        }
        EXPECT_EQ(barPixels, 0) << "frame " << i;
        // The room's walls fill the picture right up to the bars.
        if (i == 0) {
            EXPECT_GT(litEdgePixels, 241);
        }
    }
    int litEdgeRows = 0;
    for (int y = 0; y < 180; y++)
        litEdgeRows += !wide[0].black(40, y) && !wide[0].black(279, y);
    EXPECT_GT(litEdgeRows, 90);
}
