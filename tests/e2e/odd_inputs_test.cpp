// Odd but legal files in place of the demo's own, end to end through
// quarnel-capture: grey, CMYK and progressive odd-width JPEGs, palette, grey,
// 16-bit and interlaced PNGs, and a 48 kHz mono soundtrack with ID3 tags.
// Each picture shows at its time in its own colour, as opaque as its scene
// draws it, and the soundtrack makes the vs picture pulse.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "broken_data.h"
#include "demo_process.h"
#include "mp3_files.h"
#include "picture_files.h"

constexpr double windowAspect = 640.0 / 480.0;

// The colour a picture of colour c shows as when blended over black at alpha.
static Pixel faded(Pixel c, double alpha) {
    return Pixel{int(std::lround(c.r * alpha)), int(std::lround(c.g * alpha)),
                 int(std::lround(c.b * alpha))};
}

static std::vector<uint8_t> bytesOf(Pixel c, int alpha = -1) {
    std::vector<uint8_t> bytes{uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)};
    if (alpha >= 0) bytes.push_back(uint8_t(alpha));
    return bytes;
}

static void expectNear(const Still& still, double column, double row, Pixel colour, int tolerance) {
    const Pixel p = pixelOf(still, column, row);
    EXPECT_TRUE(near(p, colour, tolerance))
        << "at " << column << ", " << row << ": " << describe(p) << " wanted " << describe(colour);
}

static void expectRegion(const Still& still, const Region& region, Pixel colour, int tolerance) {
    for (const auto& [column, row] : pointsOf(region))
        expectNear(still, column, row, colour, tolerance);
}

class OddInputs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = makeDataFolder({});
        made = writeOddFiles();
        if (made) run = captureStills(folder, {2.5, 6.5, 10.5, 30.0, 50.0, 70.0, 85.0});
    }
    static void TearDownTestSuite() { removeDataFolder(folder); }
    void SetUp() override {
        ASSERT_TRUE(made);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    static bool writeOddFiles() {
        // slide 1: one grey component
        JpegOptions grey;
        grey.colour = JpegColour::Grey;
        bool ok = replaceDataFile(folder, "pic/1.jpg",
                                  encodeTestJpeg(solidPicture(200, 150, bytesOf(slideGrey)), grey));
        // slide 2: Adobe CMYK inks
        JpegOptions cmyk;
        cmyk.colour = JpegColour::AdobeCmyk;
        ok =
            ok && replaceDataFile(folder, "pic/2.jpg",
                                  encodeTestJpeg(solidPicture(160, 120, bytesOf(inkColour)), cmyk));
        // slide 3: progressive, 301 pixels wide (903 bytes a row), left and right halves apart
        TestPicture halves = solidPicture(301, 203, bytesOf(leftColour));
        for (int y = 0; y < halves.height; y++)
            for (int x = 151; x < halves.width; x++) {
                const std::vector<uint8_t> right = bytesOf(rightColour);
                std::copy(right.begin(), right.end(), halves.at(x, y));
            }
        JpegOptions progressive;
        progressive.progressive = true;
        ok = ok && replaceDataFile(folder, "pic/disco.jpg", encodeTestJpeg(halves, progressive));

        // the claw skills card: 16-bit RGB, interlaced
        PngOptions deepInterlaced;
        deepInterlaced.colour = PngColour::Rgb;
        deepInterlaced.bitDepth = 16;
        deepInterlaced.interlaced = true;
        ok = ok && replaceDataFile(
                       folder, "pic/pokemon/clawskills.png",
                       encodeTestPng(solidPicture(90, 70, bytesOf(skillsColour)), deepInterlaced));
        // a greeting: a palette with an opaque upper half and a clear lower half
        PngOptions palette;
        palette.colour = PngColour::Palette;
        ok = ok &&
             replaceDataFile(
                 folder, "pic/ferda.png",
                 encodeTestPng(bandedPicture(64, 64, {bytesOf(greetingColour, 255), {0, 0, 0, 0}}),
                               palette));
        // a credit: 4-bit grey, 0xA expanding to 0xAA
        PngOptions grey4;
        grey4.colour = PngColour::Grey;
        grey4.bitDepth = 4;
        ok = ok && replaceDataFile(folder, "pic/movik.png",
                                   encodeTestPng(solidPicture(48, 48, bytesOf(creditGrey)), grey4));
        // the vs picture: opaque 16-bit RGBA, so its edges show
        PngOptions deepAlpha;
        deepAlpha.bitDepth = 16;
        ok = ok && replaceDataFile(
                       folder, "pic/pokemon/vs.png",
                       encodeTestPng(solidPicture(64, 64, bytesOf(vsColour, 255)), deepAlpha));

        // The soundtrack: 48 kHz, mono, tagged; two low tones that the
        // lowest band hears, for the forty seconds up to 50 s of the demo.
        const int rate = 48000;
        std::vector<float> track = sineWave(40.0, 0.45, 40.0, rate);
        const std::vector<float> second = sineWave(61.0, 0.45, 40.0, rate);
        for (size_t i = 0; i < track.size(); i++)
            track[i] += second[i];
        const std::string mp3 = folder + "/sound.mp3";
        ok = ok && writeTestMp3(mp3, track, rate, 1, true);
        ok = ok && replaceDataFile(folder, "sound/pokemon.mp3", readFileBytes(mp3));
        return ok;
    }

    static inline const Pixel slideGrey{160, 160, 160};
    static inline const Pixel inkColour{220, 120, 40};
    static inline const Pixel leftColour{60, 200, 140};
    static inline const Pixel rightColour{220, 60, 160};
    static inline const Pixel skillsColour{250, 128, 10};
    static inline const Pixel greetingColour{30, 200, 90};
    static inline const Pixel creditGrey{170, 170, 170};
    static inline const Pixel vsColour{255, 0, 255};

    static inline std::string folder;
    static inline bool made = false;
    static inline CaptureRun run;
};

// The slides are centred plates at depth 3 under the window's 45-degree view,
// fading by 0.15 a second: 0.775 opaque 1.5 s into the first, 0.625 opaque
// 2.5 s into the second and third.
TEST_F(OddInputs, JpegSlidesShowTheirColoursFaded) {
    const Still first = stillAt(folder, 2.5);
    ASSERT_EQ(first.width, 640);
    expectNear(first, 320, 240, faded(slideGrey, 0.775), 3);

    const Still second = stillAt(folder, 6.5);
    ASSERT_EQ(second.width, 640);
    expectNear(second, 320, 240, faded(inkColour, 0.625), 7);

    // Rows out of step would shear the two halves into each other.
    const Still third = stillAt(folder, 10.5);
    ASSERT_EQ(third.width, 640);
    expectRegion(third, {-3.0, 45.0, windowAspect, {-0.8, -0.4}, {-0.8, 0.0, 0.8}},
                 faded(leftColour, 0.625), 4);
    expectRegion(third, {-3.0, 45.0, windowAspect, {0.4, 0.8}, {-0.8, 0.0, 0.8}},
                 faded(rightColour, 0.625), 4);
}

TEST_F(OddInputs, PngPicturesShowTheirOwnColours) {
    const Still skills = stillAt(folder, 30.0);
    ASSERT_EQ(skills.width, 640);
    expectRegion(skills, {-5.4, 45.0, windowAspect, {0.6, 1.5, 2.4}, {-0.9, 0, 0.9}}, skillsColour,
                 2);

    // the greeting's opaque upper half, above the greeting that overlaps its lower half
    const Still greetings = stillAt(folder, 70.0);
    ASSERT_EQ(greetings.width, 640);
    expectRegion(greetings, {-4.0, 80.0, 1.0, {-2.9, -2.0, -1.1}, {2.1, 2.5, 2.9}}, greetingColour,
                 2);

    const Still credits = stillAt(folder, 85.0);
    ASSERT_EQ(credits.width, 640);
    expectRegion(credits, {-4.0, 80.0, 1.0, {-3.3, -2.5, -1.6}, {1.1, 2.0, 2.9}}, creditGrey, 2);
}

// The vs plate is scaled by s = 1 + 1.2 x band 0 about its centre 8 units
// away: its top edge lies at s f / (8 - s) in normalised y. Silence (s = 1)
// would put it at row 157; the tones must lift it well above.
TEST_F(OddInputs, SoundtrackIsHeardAndPulsesTheVsPicture) {
    EXPECT_EQ(run.err.find("No soundtrack"), std::string::npos) << run.err;
    const Still battle = stillAt(folder, 50.0);
    ASSERT_EQ(battle.width, 640);
    int top = -1;
    for (int row = 0; row < 240 && top < 0; row++)
        if (near(pixelOf(battle, 320.5, row + 0.5), vsColour, 3)) top = row;
    ASSERT_GE(top, 0) << "no vs plate on the centre column";
    const double silentRow = rowAt(1.0, -7.0, 45.0);
    EXPECT_LT(top, silentRow - 6.0);
    // Band 0 of two tones at 0.45 stays below 0.9, so s below 2.08.
    const double loudestRow = rowAt(2.08, -(8.0 - 2.08), 45.0);
    EXPECT_GT(top, loudestRow);
    expectRegion(battle, {-7.0, 45.0, 1.0, {-0.4, 0, 0.4}, {-0.8, 0, 0.8}}, vsColour, 2);
}
