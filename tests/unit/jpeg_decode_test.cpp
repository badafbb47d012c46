// JPEG decoding without GL: colour spaces, row layout, damaged and hostile
// files, and how a missing or damaged picture ends the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "image/jpeg_decode.h"
#include "image/jpeg_texture.h"
#include "picture_files.h"
#include "platform/message_box.h"

namespace {

const std::vector<uint8_t> red{220, 30, 30}, blue{20, 40, 200};

JpegImage decodeOrFail(const std::vector<uint8_t>& bytes) {
    JpegImage image;
    std::string error;
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(decodeJpegMemory(bytes.data(), bytes.size(), image, error)) << error;
    return image;
}

void expectColour(const JpegImage& image, int x, int y, const std::vector<uint8_t>& colour,
                  int tolerance) {
    ASSERT_LT(x, image.width);
    ASSERT_LT(y, image.height);
    const unsigned char* p = image.pixels.data() + size_t(y) * image.rowBytes + size_t(x) * 3;
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(p[c], colour[c], tolerance) << "channel " << c << " at " << x << "," << y;
}

// The width and height fields of the frame header, rewritten in place.
std::vector<uint8_t> withFrameSize(std::vector<uint8_t> bytes, uint16_t width, uint16_t height) {
    for (size_t i = 0; i + 8 < bytes.size(); i++)
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            bytes[i + 5] = uint8_t(height >> 8), bytes[i + 6] = uint8_t(height);
            bytes[i + 7] = uint8_t(width >> 8), bytes[i + 8] = uint8_t(width);
            return bytes;
        }
    ADD_FAILURE() << "no frame header";
    return bytes;
}

int boxesShown = 0;
void countBox(const char*, const char*, SDL_Window*) {
    boxesShown++;
}

} // namespace

TEST(JpegDecode, ColourPictureBecomesRgbRowsTopRowFirst) {
    const JpegImage image = decodeOrFail(encodeTestJpeg(bandedPicture(24, 16, {red, blue})));
    EXPECT_EQ(image.width, 24);
    EXPECT_EQ(image.height, 16);
    EXPECT_EQ(image.rowBytes, 24 * 3);
    ASSERT_EQ(image.pixels.size(), size_t(24 * 3 * 16));
    expectColour(image, 12, 2, red, 6);
    expectColour(image, 12, 13, blue, 6);
}

// Grey and ink pictures come out as three-byte RGB in their own colours; with
// the inks read the wrong way round, red would come out cyan.
TEST(JpegDecode, EveryColourSpaceDecodesToRgbInItsColours) {
    const std::vector<uint8_t> light{200, 200, 200}, dark{40, 40, 40};
    struct Case {
        const char* name;
        JpegOptions options;
        std::vector<uint8_t> top, bottom;
    } cases[] = {
        {"grey", {JpegColour::Grey}, light, dark},
        {"Adobe CMYK", {JpegColour::AdobeCmyk}, red, blue},
        {"plain CMYK", {JpegColour::PlainCmyk}, red, blue},
        {"YCCK", {JpegColour::Ycck}, red, blue},
    };
    JpegOptions progressive;
    progressive.progressive = true;
    JpegOptions progressiveGrey{JpegColour::Grey};
    progressiveGrey.progressive = true;
    JpegOptions subsampled;
    subsampled.fullChroma = false;
    for (const Case& c :
         {cases[0], cases[1], cases[2], cases[3], Case{"progressive", progressive, red, blue},
          Case{"progressive grey", progressiveGrey, light, dark},
          Case{"subsampled chroma", subsampled, red, blue}}) {
        SCOPED_TRACE(c.name);
        const JpegImage image =
            decodeOrFail(encodeTestJpeg(bandedPicture(32, 32, {c.top, c.bottom}), c.options));
        EXPECT_EQ(image.rowBytes, 32 * 3);
        ASSERT_EQ(image.pixels.size(), size_t(32 * 3 * 32));
        expectColour(image, 16, 3, c.top, 10);
        expectColour(image, 16, 28, c.bottom, 10);
    }
}

// 13 * 3 = 39 bytes a row: padding to four bytes would drift the halves apart
// row by row.
TEST(JpegDecode, OddWidthRowsAreTightlyPacked) {
    TestPicture picture = solidPicture(13, 24, blue);
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 6; x++)
            std::copy(red.begin(), red.end(), picture.at(x, y));
    const JpegImage image = decodeOrFail(encodeTestJpeg(picture));
    EXPECT_EQ(image.rowBytes, 39);
    ASSERT_EQ(image.pixels.size(), size_t(39 * 24));
    for (int y : {0, 7, 15, 23}) {
        expectColour(image, 1, y, red, 30);
        expectColour(image, 11, y, blue, 30);
    }
}

TEST(JpegDecode, DamagedDataIsAnErrorAndLeavesNoPicture) {
    const std::vector<uint8_t> good = encodeTestJpeg(bandedPicture(32, 32, {red, blue}));
    const std::vector<uint8_t> garbage(500, 0x5A);
    const std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 30);
    const std::vector<uint8_t> png = encodeTestPng(solidPicture(4, 4, {1, 2, 3, 4}));
    std::vector<uint8_t> twoComponents = good; // components field of the frame header
    for (size_t i = 0; i + 9 < twoComponents.size(); i++)
        if (twoComponents[i] == 0xFF && twoComponents[i + 1] == 0xC0) twoComponents[i + 9] = 2;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {{"empty", {}},
                 {"garbage", garbage},
                 {"cut inside the header", headerOnly},
                 {"a PNG file", png},
                 {"frame header that does not add up", twoComponents}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JpegImage image;
        image.pixels.assign(10, 1);
        std::string error;
        EXPECT_FALSE(decodeJpegMemory(c.bytes.data(), c.bytes.size(), image, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0);
    }
    JpegImage image;
    std::string error;
    EXPECT_FALSE(decodeJpegFile(testFilePath("no-such-picture.jpg").c_str(), image, error));
    EXPECT_NE(error.find("Cannot open"), std::string::npos) << error;
}

// Data ending early is only a warning: the picture loads, its lost part grey.
TEST(JpegDecode, DataEndingInsideTheScanStillLoads) {
    std::vector<uint8_t> bytes = encodeTestJpeg(bandedPicture(64, 64, {red, blue}));
    size_t scan = 0;
    while (scan + 1 < bytes.size() && !(bytes[scan] == 0xFF && bytes[scan + 1] == 0xDA))
        scan++;
    bytes.resize(scan + (bytes.size() - scan) / 2);
    const JpegImage image = decodeOrFail(bytes);
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.pixels.size(), size_t(64 * 3 * 64));
    expectColour(image, 32, 2, red, 10);
}

TEST(JpegDecode, PicturesTooLargeToBeRealAreRefused) {
    const std::vector<uint8_t> small = encodeTestJpeg(solidPicture(16, 16, red));
    for (auto size : {std::pair<uint16_t, uint16_t>{8193, 16}, {16, 8193}, {65000, 65000}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        const std::vector<uint8_t> bytes = withFrameSize(small, size.first, size.second);
        JpegImage image;
        std::string error;
        EXPECT_FALSE(decodeJpegMemory(bytes.data(), bytes.size(), image, error));
        EXPECT_NE(error.find("too large"), std::string::npos) << error;
        EXPECT_TRUE(image.pixels.empty());
    }
    // The largest side allowed passes the check and decodes (mostly grey).
    const std::vector<uint8_t> edge = withFrameSize(small, 8192, 16);
    EXPECT_EQ(decodeOrFail(edge).width, 8192);
}

TEST(JpegDecode, ProgressiveFileWithThousandsOfScansIsRefused) {
    JpegOptions options;
    options.everyScanSeparate = true;
    const std::vector<uint8_t> bytes = encodeTestJpeg(solidPicture(16, 16, red), options);
    ASSERT_FALSE(bytes.empty());
    JpegImage image;
    std::string error;
    EXPECT_FALSE(decodeJpegMemory(bytes.data(), bytes.size(), image, error));
    EXPECT_NE(error.find("Too many scans"), std::string::npos) << error;
}

// The image code only reports: a missing file, damaged data and a picture
// too large to be real come back as failures with libjpeg's message, with no
// box, no texture and the process still running (the loader decides).
TEST(JpegLoad, FailuresAreReportedNotActedOn) {
    setMessageBoxHandler(countBox);
    const std::string missing = testFilePath("missing.jpg");
    EXPECT_FALSE(readJpeg(missing.c_str()).opened);
    uint32_t table[2] = {};
    EXPECT_FALSE(loadJpegTexture(table, missing.c_str(), 1));
    EXPECT_FALSE(loadJpegTexture(table, nullptr, 1));

    const std::string notJpeg = testFilePath("not-a-jpeg.jpg");
    ASSERT_TRUE(writeFileBytes(notJpeg, encodeTestPng(solidPicture(4, 4, {1, 2, 3, 4}))));
    const JpegRead damaged = readJpeg(notJpeg.c_str());
    EXPECT_TRUE(damaged.opened);
    EXPECT_FALSE(damaged.decoded);
    EXPECT_NE(damaged.error.find("Not a JPEG file"), std::string::npos) << damaged.error;
    EXPECT_FALSE(loadJpegTexture(table, notJpeg.c_str(), 1));

    const std::string huge = testFilePath("huge.jpg");
    ASSERT_TRUE(
        writeFileBytes(huge, withFrameSize(encodeTestJpeg(solidPicture(8, 8, red)), 30000, 30000)));
    const JpegRead refused = readJpeg(huge.c_str());
    EXPECT_FALSE(refused.decoded);
    EXPECT_NE(refused.error.find("too large"), std::string::npos) << refused.error;
    EXPECT_EQ(table[1], 0u);
    EXPECT_EQ(boxesShown, 0);
    setMessageBoxHandler(nullptr);
}
