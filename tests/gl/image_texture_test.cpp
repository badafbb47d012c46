// JPEG and PNG textures in an offscreen context: orientation on the unit
// plate, levels, filters, alpha, row alignment and failed files.
#include "gl_fixture.h"

#include <GL/gl.h>
#include <cmath>

#include "image/jpeg_texture.h"
#include "image/png_texture.h"
#include "picture_files.h"
#include "scenes/unit_plate.h"

namespace {

const std::vector<uint8_t> red{220, 30, 30}, blue{20, 40, 200};

// Under the starting projection a plate at z = -4 lies three units from the
// eye, its half-side covering 240 / (3 tan 22.5 deg) = 193 pixels. These are
// the window rows a tenth of the plate in from its top and bottom edges.
const double plateHalf = 240.0 / (3.0 * std::tan(22.5 * M_PI / 180.0));
const int nearTop = int(std::lround(240 - 0.8 * plateHalf));
const int nearBottom = int(std::lround(240 + 0.8 * plateHalf));

void drawPlateWith(GLuint texture) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -4);
    drawUnitPlate();
}

GLint levelParameter(int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// Level 0 of the bound texture as RGBA bytes, rows bottom-up as OpenGL holds them
// (row 0 is the first row uploaded).
std::vector<uint8_t> levelZero() {
    std::vector<uint8_t> texels(size_t(levelParameter(0, GL_TEXTURE_WIDTH)) *
                                levelParameter(0, GL_TEXTURE_HEIGHT) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

void expectNear(const Rgba& pixel, const std::vector<uint8_t>& colour, int tolerance) {
    EXPECT_NEAR(pixel.r, colour[0], tolerance);
    EXPECT_NEAR(pixel.g, colour[1], tolerance);
    EXPECT_NEAR(pixel.b, colour[2], tolerance);
}

void expectNear(const uint8_t* texel, const std::vector<uint8_t>& colour, int tolerance) {
    expectNear(Rgba{texel[0], texel[1], texel[2], texel[3]}, colour, tolerance);
}

} // namespace

// ---- JPEG ----

TEST_F(GlTest, JpegTopRowLandsAtTheTopOfThePlate) {
    const std::string path = testFilePath("bands.jpg");
    ASSERT_TRUE(writeTestJpeg(path, bandedPicture(64, 64, {red, blue})));
    uint32_t table[3] = {};
    loadJpegTexture(table, path.c_str(), 1);
    ASSERT_NE(table[1], 0u);
    drawPlateWith(table[1]);
    expectNear(pixelAt(320, nearTop), red, 10);
    expectNear(pixelAt(320, nearBottom), blue, 10);
}

// Sides that are not powers of two, odd row lengths (101 * 3 = 303 bytes),
// and sizes where only the width is rescaled, which once left the last row
// of level 0 black: every level is complete and every texel the colour.
TEST_F(GlTest, JpegTextureHasTheWholeMipChainAndTheDemoFilters) {
    const std::string path = testFilePath("odd.jpg");
    for (auto size : {std::pair<int, int>{101, 60}, {100, 64}, {33, 32}, {64, 64}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        ASSERT_TRUE(writeTestJpeg(path, solidPicture(size.first, size.second, red)));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
        glPixelStorei(GL_PACK_ALIGNMENT, 8);
        uint32_t table[3] = {};
        loadJpegTexture(table, path.c_str(), 2);
        EXPECT_EQ(table[0], 0u);
        ASSERT_NE(table[2], 0u);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), table[2]);
        EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 2);
        EXPECT_EQ(integer(GL_PACK_ALIGNMENT), 8);

        const int width = levelParameter(0, GL_TEXTURE_WIDTH);
        const int height = levelParameter(0, GL_TEXTURE_HEIGHT);
        ASSERT_GT(width, 0);
        ASSERT_GT(height, 0);
        const int levels = int(std::log2(std::max(width, height))) + 1;
        for (int level = 1; level < levels; level++) {
            EXPECT_EQ(levelParameter(level, GL_TEXTURE_WIDTH), std::max(1, width >> level));
            EXPECT_EQ(levelParameter(level, GL_TEXTURE_HEIGHT), std::max(1, height >> level));
        }
        EXPECT_EQ(levelParameter(levels - 1, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(levels - 1, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(levelParameter(levels, GL_TEXTURE_WIDTH), 0);
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);

        const std::vector<uint8_t> texels = levelZero();
        int wrong = 0;
        for (size_t i = 0; i < texels.size(); i += 4)
            if (std::abs(texels[i] - red[0]) > 6 || std::abs(texels[i + 2] - red[2]) > 6) wrong++;
        EXPECT_EQ(wrong, 0);
        uint8_t last[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, levels - 1, GL_RGBA, GL_UNSIGNED_BYTE, last);
        expectNear(last, red, 6);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// 13 pixels make 39-byte rows: a four-byte row alignment would drift every
// row further, so red must stay left and blue right in each one.
TEST_F(GlTest, JpegOddWidthRowsStayAligned) {
    uint32_t table[1] = {};
    TestPicture halves = solidPicture(13, 16, blue);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 6; x++)
            std::copy(red.begin(), red.end(), halves.at(x, y));
    const std::string path = testFilePath("halves.jpg");
    ASSERT_TRUE(writeTestJpeg(path, halves));
    loadJpegTexture(table, path.c_str(), 0);
    const int width = levelParameter(0, GL_TEXTURE_WIDTH);
    const std::vector<uint8_t> texels = levelZero();
    ASSERT_GT(width, 2);
    for (size_t row = 0; row < texels.size() / (size_t(width) * 4); row++) {
        SCOPED_TRACE("row " + std::to_string(row));
        expectNear(&texels[row * width * 4], red, 30);
        expectNear(&texels[(row * width + width - 1) * 4], blue, 30);
    }
}

// ---- PNG ----

TEST_F(GlTest, PngTopRowLandsAtTheTopOfThePlate) {
    const std::string path = testFilePath("bands.png");
    PngOptions interlaced;
    interlaced.interlaced = true;
    for (const PngOptions& options : {PngOptions(), interlaced}) {
        ASSERT_TRUE(writeTestPng(path, bandedPicture(30, 20, {red, blue}), options));
        const uint32_t name = pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, nullptr, GL_REPEAT,
                                      GL_LINEAR, GL_LINEAR);
        ASSERT_NE(name, 0u);
        drawPlateWith(name);
        expectNear(pixelAt(320, nearTop), red, 1);
        expectNear(pixelAt(320, nearBottom), blue, 1);
    }
}

// The demo's call: one level at the file's own size, linear, repeating.
TEST_F(GlTest, PngTextureIsOneLevelWithTheFiltersAndWrapAsked) {
    const std::string path = testFilePath("plain.png");
    ASSERT_TRUE(writeTestPng(path, solidPicture(24, 10, {10, 20, 30, 40})));
    pngInfo info;
    const uint32_t name =
        pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT, GL_LINEAR, GL_LINEAR);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), name);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 24);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 10);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(info.Width, 24u);
    EXPECT_EQ(info.Height, 10u);
    EXPECT_EQ(info.Depth, 8u);
    EXPECT_EQ(info.Alpha, 8u);

    // Other arguments are passed through; mip-maps are built when asked for.
    const uint32_t other = pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr,
                                   GL_CLAMP_TO_EDGE, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST);
    ASSERT_NE(other, 0u);
    EXPECT_NE(other, name);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    const int width = levelParameter(0, GL_TEXTURE_WIDTH);
    const int height = levelParameter(0, GL_TEXTURE_HEIGHT);
    const int last = int(std::log2(std::max(width, height)));
    EXPECT_EQ(levelParameter(last, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(last, GL_TEXTURE_HEIGHT), 1);
}

// A file with alpha (channel or tRNS) blends by it; one without is opaque,
// whatever blending is on: drawn over black, red shows at full strength.
TEST_F(GlTest, PngAlphaComesExactlyFromTheFile) {
    PngOptions palette;
    palette.colour = PngColour::Palette;
    PngOptions rgb;
    rgb.colour = PngColour::Rgb;
    const struct {
        const char* name;
        PngOptions options;
        std::vector<uint8_t> colour;
        int alpha; // what the texture must hold
    } cases[] = {
        {"RGBA", PngOptions(), {200, 100, 0, 102}, 102},
        {"palette with tRNS", palette, {200, 100, 0, 51}, 51},
        {"RGB", rgb, {200, 100, 0, 255}, 255},
    };
    const std::string path = testFilePath("alpha.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeTestPng(path, solidPicture(8, 8, c.colour), c.options));
        pngInfo info;
        const uint32_t name =
            pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, &info, GL_REPEAT, GL_LINEAR, GL_LINEAR);
        ASSERT_NE(name, 0u);
        const bool hasAlpha = c.alpha != 255;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE) > 0, hasAlpha);
        EXPECT_EQ(info.Alpha, hasAlpha ? 8u : 0u);

        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        drawPlateWith(name);
        glDisable(GL_BLEND);
        const Rgba pixel = pixelAt(320, 240);
        EXPECT_NEAR(pixel.r, c.colour[0] * c.alpha / 255.0, 2);
        EXPECT_NEAR(pixel.g, c.colour[1] * c.alpha / 255.0, 2);
    }
    // Asked for an opaque texture, a file with alpha gives RGB.
    ASSERT_TRUE(writeTestPng(path, solidPicture(8, 8, {1, 2, 3, 4})));
    ASSERT_NE(
        pngBind(path.c_str(), PNG_NOMIPMAP, PNG_SOLID, nullptr, GL_REPEAT, GL_LINEAR, GL_LINEAR),
        0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
}

// 5 RGB pixels make 15-byte rows: uploaded exactly, the caller's alignment
// left as it was.
TEST_F(GlTest, PngOddRowsUploadExactlyAndAlignmentIsRestored) {
    TestPicture picture = solidPicture(5, 3, {0, 0, 0});
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) {
            picture.at(x, y)[0] = uint8_t(40 * x);
            picture.at(x, y)[1] = uint8_t(80 * y);
            picture.at(x, y)[2] = uint8_t(7 * x + 3 * y);
        }
    PngOptions rgb;
    rgb.colour = PngColour::Rgb;
    const std::string path = testFilePath("odd-rows.png");
    ASSERT_TRUE(writeTestPng(path, picture, rgb));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    ASSERT_NE(
        pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, nullptr, GL_REPEAT, GL_LINEAR, GL_LINEAR),
        0u);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 8);
    const std::vector<uint8_t> texels = levelZero();
    ASSERT_EQ(texels.size(), size_t(5 * 3 * 4));
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) {
            const uint8_t* t = &texels[(size_t(y) * 5 + x) * 4];
            EXPECT_EQ(t[0], picture.at(x, y)[0]);
            EXPECT_EQ(t[1], picture.at(x, y)[1]);
            EXPECT_EQ(t[2], picture.at(x, y)[2]);
            EXPECT_EQ(t[3], 255);
        }
}

// Missing and damaged files give 0 quietly and leave the GL state alone.
TEST_F(GlTest, PngMissingOrDamagedFilesGiveZeroAndChangeNothing) {
    const std::vector<uint8_t> good = encodeTestPng(solidPicture(16, 16, {1, 2, 3, 4}));
    const std::string cut = testFilePath("cut.png"), garbage = testFilePath("garbage.png"),
                      huge = testFilePath("huge.png");
    ASSERT_TRUE(writeFileBytes(cut, std::vector<uint8_t>(good.begin(), good.end() - 20)));
    ASSERT_TRUE(writeFileBytes(garbage, std::vector<uint8_t>(400, 0x42)));
    ASSERT_TRUE(writeFileBytes(huge, pngHeaderOnly(100000, 100000)));
    const GLuint bound = makeFlatTexture(1, 2, 3, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    for (const std::string& path :
         {testFilePath("missing.png"), cut, garbage, huge, std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(pngBind(path.empty() ? nullptr : path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, nullptr,
                          GL_REPEAT, GL_LINEAR, GL_LINEAR),
                  0u);
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), bound);
        EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 2);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
