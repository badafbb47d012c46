// PNG decoding without GL: every layout to 8-bit RGB or RGBA in the right
// order, and damaged or hostile files as errors.
#include <gtest/gtest.h>

#include "image/png_decode.h"
#include "picture_files.h"

namespace {

// A 7 x 9 picture in which every pixel differs: odd sizes exercise the bit
// packing of small depths and the partial blocks of the interlaced passes.
TestPicture gradient(int channels) {
    TestPicture picture = solidPicture(7, 9, std::vector<uint8_t>(size_t(channels), 0));
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 7; x++) {
            uint8_t* p = picture.at(x, y);
            p[0] = uint8_t(x * 36);
            p[1] = uint8_t(y * 28);
            p[2] = uint8_t(255 - x * 10 - y * 5);
            if (channels == 4) p[3] = uint8_t(255 - y * 30);
        }
    return picture;
}

// A grey picture whose levels are exact at depth bits: 0 and full, in a
// checkerboard, plus for deeper files every level the depth has.
TestPicture greyLevels(int depth, bool withAlpha) {
    TestPicture picture = solidPicture(7, 9, std::vector<uint8_t>(withAlpha ? 4 : 3, 0));
    const int levels = 1 << std::min(depth, 8);
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 7; x++) {
            const int level = (x + y * 7) % levels;
            const uint8_t v = uint8_t(level * 255 / (levels - 1));
            uint8_t* p = picture.at(x, y);
            p[0] = p[1] = p[2] = v;
            if (withAlpha) p[3] = uint8_t(255 - (x + y) * 10);
        }
    return picture;
}

PngOptions layout(PngColour colour, int depth, bool interlaced = false) {
    PngOptions options;
    options.colour = colour;
    options.bitDepth = depth;
    options.interlaced = interlaced;
    return options;
}

PngImage decodeOrFail(const std::vector<uint8_t>& bytes, bool keepAlpha) {
    PngImage image;
    std::string error;
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(decodePngMemory(bytes.data(), bytes.size(), keepAlpha, image, error)) << error;
    return image;
}

// Every pixel of image equals the picture's, with alpha only when expected
// (255 where the picture has none).
void expectSamePixels(const PngImage& image, const TestPicture& picture, uint32_t channels) {
    ASSERT_EQ(image.width, uint32_t(picture.width));
    ASSERT_EQ(image.height, uint32_t(picture.height));
    ASSERT_EQ(image.channels, channels);
    ASSERT_EQ(image.pixels.size(), size_t(picture.width) * picture.height * channels);
    int wrong = 0;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            for (uint32_t c = 0; c < channels; c++) {
                const int want = int(c) < picture.channels ? picture.at(x, y)[c] : 255;
                const int got = image.pixels[(size_t(y) * picture.width + x) * channels + c];
                if (got != want && wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " channel " << c << ": " << got
                                  << " instead of " << want;
            }
}

} // namespace

TEST(PngDecode, EveryLayoutDecodesExactlyTopRowFirst) {
    struct Case {
        const char* name;
        PngOptions options;
        TestPicture picture;
        uint32_t channels;
    };
    const Case cases[] = {
        {"RGB 8", layout(PngColour::Rgb, 8), gradient(3), 3},
        {"RGBA 8", layout(PngColour::Rgba, 8), gradient(4), 4},
        {"RGB 16", layout(PngColour::Rgb, 16), gradient(3), 3},
        {"RGBA 16", layout(PngColour::Rgba, 16), gradient(4), 4},
        {"RGBA interlaced", layout(PngColour::Rgba, 8, true), gradient(4), 4},
        {"RGB 16 interlaced", layout(PngColour::Rgb, 16, true), gradient(3), 3},
        {"grey 1", layout(PngColour::Grey, 1), greyLevels(1, false), 3},
        {"grey 2", layout(PngColour::Grey, 2), greyLevels(2, false), 3},
        {"grey 4", layout(PngColour::Grey, 4), greyLevels(4, false), 3},
        {"grey 8", layout(PngColour::Grey, 8), greyLevels(8, false), 3},
        {"grey 16", layout(PngColour::Grey, 16), greyLevels(8, false), 3},
        {"grey 2 interlaced", layout(PngColour::Grey, 2, true), greyLevels(2, false), 3},
        {"grey + alpha 8", layout(PngColour::GreyAlpha, 8), greyLevels(8, true), 4},
        {"grey + alpha 16", layout(PngColour::GreyAlpha, 16), greyLevels(8, true), 4},
        {"palette 8", layout(PngColour::Palette, 8), gradient(3), 3},
        {"palette 8 with tRNS", layout(PngColour::Palette, 8), gradient(4), 4},
        {"palette 4 interlaced", layout(PngColour::Palette, 4, true),
         bandedPicture(7, 9, {{9, 8, 7}, {200, 100, 0}, {0, 0, 255}}), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PngImage image = decodeOrFail(encodeTestPng(c.picture, c.options), true);
        EXPECT_EQ(image.fileDepth, uint32_t(c.options.bitDepth));
        expectSamePixels(image, c.picture, c.channels);
    }
}

// A tRNS colour key makes exactly the pixels of that colour transparent.
TEST(PngDecode, ColourKeyBecomesAlpha) {
    const std::vector<uint8_t> key{0, 255, 0}, other{200, 30, 60};
    for (PngColour colour : {PngColour::Rgb, PngColour::Grey}) {
        for (int depth : {8, 16}) {
            SCOPED_TRACE(std::to_string(int(colour)) + " depth " + std::to_string(depth));
            const bool grey = colour == PngColour::Grey;
            const std::vector<uint8_t> keyed = grey ? std::vector<uint8_t>{0, 0, 0} : key;
            const std::vector<uint8_t> plain = grey ? std::vector<uint8_t>{200, 200, 200} : other;
            PngOptions options = layout(colour, depth);
            options.transparent = std::array<uint8_t, 3>{keyed[0], keyed[1], keyed[2]};
            const PngImage image =
                decodeOrFail(encodeTestPng(bandedPicture(4, 4, {keyed, plain}), options), true);
            ASSERT_EQ(image.channels, 4u);
            ASSERT_EQ(image.pixels.size(), size_t(4 * 4 * 4));
            EXPECT_EQ(image.pixels[3], 0);               // top-left, key colour
            EXPECT_EQ(image.pixels[4 * 4 * 3 + 3], 255); // bottom-left, any other
            EXPECT_EQ(image.pixels[4 * 4 * 3], plain[0]);
        }
    }
}

TEST(PngDecode, WithoutAlphaWantedEveryLayoutIsOpaqueRgb) {
    PngOptions keyed = layout(PngColour::Rgb, 8);
    keyed.transparent = std::array<uint8_t, 3>{0, 0, 0};
    const struct {
        const char* name;
        PngOptions options;
        TestPicture picture;
    } cases[] = {
        {"RGBA", layout(PngColour::Rgba, 8), gradient(4)},
        {"grey + alpha", layout(PngColour::GreyAlpha, 8), greyLevels(8, true)},
        {"palette with tRNS", layout(PngColour::Palette, 8), gradient(4)},
        {"RGB with colour key", keyed, gradient(3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestPicture opaque = solidPicture(c.picture.width, c.picture.height, {0, 0, 0});
        for (int y = 0; y < opaque.height; y++)
            for (int x = 0; x < opaque.width; x++)
                std::copy(c.picture.at(x, y), c.picture.at(x, y) + 3, opaque.at(x, y));
        expectSamePixels(decodeOrFail(encodeTestPng(c.picture, c.options), false), opaque, 3);
    }
}

TEST(PngDecode, DamagedOrHostileFilesAreErrors) {
    const std::vector<uint8_t> good = encodeTestPng(gradient(4));
    ASSERT_GT(good.size(), 60u);
    auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
    std::vector<uint8_t> flipped = good; // inside the image data: its checksum fails
    flipped[good.size() - 20] ^= 0x40;
    std::vector<uint8_t> garbage(300, 0xA5);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"garbage", garbage},
        {"a JPEG file", encodeTestJpeg(solidPicture(8, 8, {1, 2, 3}))},
        {"cut in the signature", cut(5)},
        {"cut in the header", cut(20)},
        {"cut in the image data", cut(good.size() - 30)},
        {"cut before the end chunk", cut(good.size() - 12)},
        {"damaged image data", flipped},
        {"wider than the limit", pngHeaderOnly(8193, 4)},
        {"taller than the limit", pngHeaderOnly(4, 8193)},
        {"enormous", pngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF)},
        {"largest size allowed, no data", pngHeaderOnly(8192, 8192, 16, 6)},
        {"zero width", pngHeaderOnly(0, 4)},
        {"illegal depth", pngHeaderOnly(4, 4, 3, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PngImage image;
        image.pixels.assign(10, 1);
        std::string error;
        EXPECT_FALSE(decodePngMemory(c.bytes.data(), c.bytes.size(), true, image, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
    }

    PngImage image;
    std::string error;
    EXPECT_FALSE(decodePngFile(testFilePath("no-such-picture.png").c_str(), true, image, error));
    EXPECT_FALSE(decodePngFile(nullptr, true, image, error));
    const std::string path = testFilePath("cut.png");
    ASSERT_TRUE(writeFileBytes(path, cut(good.size() / 2)));
    EXPECT_FALSE(decodePngFile(path.c_str(), true, image, error));
    ASSERT_TRUE(writeFileBytes(path, good));
    EXPECT_TRUE(decodePngFile(path.c_str(), true, image, error)) << error;
}
