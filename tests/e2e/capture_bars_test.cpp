// quarnel-capture at sizes that are not 4:3: the picture takes the largest
// centred 4:3 rectangle, drawn as a 4:3 frame of that size is (to a step of
// rounding), and the bars around it stay black. Runs the capture tool on the
// generated data set.
#include <png.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool black(int x, int y) const {
        return at(x, y)[0] == 0 && at(x, y)[1] == 0 && at(x, y)[2] == 0;
    }
};

static Frame readPng(const fs::path& path) {
    Frame frame;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return frame;
    image.format = PNG_FORMAT_RGB;
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) return Frame{};
    frame.width = int(image.width);
    frame.height = int(image.height);
    return frame;
}

// Stills at 70 s (the wobble scene, whose room fills the picture) and 85 s
// (the credits, whose outer plates reach past the picture's sides).
static std::vector<Frame> capture(const fs::path& out, const std::string& size) {
    const std::string command = "cd '" QUARNEL_BINARY_DIR "' && ./quarnel-capture --at 70 --at 85 "
                                "--size " +
                                size + " --out '" + (out / size).string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return {readPng(out / size / "at-070000.png"), readPng(out / size / "at-085000.png")};
}

// Where each pixel of the frame comes from in the 4:3 frame, or black.
static void expectPictureBetweenBars(const Frame& framed, const Frame& plain, int left, int top,
                                     const char* what) {
    ASSERT_EQ(framed.width - 2 * left, plain.width) << what;
    ASSERT_EQ(framed.height - 2 * top, plain.height) << what;
    int wrong = 0, lit = 0;
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
                if (std::abs(framed.at(x, y)[c] - plain.at(px, py)[c]) > 1) wrong++;
            lit += !framed.black(x, y);
        }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_GT(lit, plain.width * plain.height / 4) << what << ": the picture is drawn";
}

TEST(CaptureBars, PictureIsTheFourThreeFrameCentredBetweenBlackBars) {
    char pattern[] = "/tmp/quarnel-bars-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path out = pattern;
    const std::vector<Frame> plain = capture(out, "240x180");
    const std::vector<Frame> wide = capture(out, "320x180"); // bars left and right
    const std::vector<Frame> tall = capture(out, "241x241"); // bars above and below, odd sizes
    ASSERT_EQ(plain.size(), 2u);
    ASSERT_EQ(wide.size(), 2u);
    ASSERT_EQ(tall.size(), 2u);
    for (int i = 0; i < 2; i++) {
        const char* what = i == 0 ? "70 s" : "85 s";
        expectPictureBetweenBars(wide[i], plain[i], 40, 0, what);
        // 241 x 241 holds 241 x 180, 30 rows above it in OpenGL's bottom-up
        // rows, so 31 above and 30 below in the file's top-down ones.
        ASSERT_EQ(tall[i].width, 241);
        ASSERT_EQ(tall[i].height, 241);
        for (int x = 0; x < 241; x++) {
            EXPECT_TRUE(tall[i].black(x, 0) && tall[i].black(x, 30)) << what << " x " << x;
            EXPECT_TRUE(tall[i].black(x, 211) && tall[i].black(x, 240)) << what << " x " << x;
        }
    }
    // The room's walls fill the picture, so its edge columns and rows are lit
    // right up to the bars.
    for (int y = 0; y < 180; y++) {
        EXPECT_FALSE(wide[0].black(40, y) && wide[0].black(279, y)) << "row " << y;
    }
    int litTopRow = 0, litBottomRow = 0;
    for (int x = 0; x < 241; x++) {
        litTopRow += !tall[0].black(x, 31);
        litBottomRow += !tall[0].black(x, 210);
    }
    EXPECT_GT(litTopRow, 120);
    EXPECT_GT(litBottomRow, 120);
    fs::remove_all(out);
}
