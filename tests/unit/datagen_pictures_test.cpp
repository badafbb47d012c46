// The generated pictures, as the build made them: every file the demo loads
// exists and decodes through the demo's own decoders, with the size, alpha and
// edges its role needs, and another run writes the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "datagen.h"
#include "image/jpeg_decode.h"
#include "image/png_decode.h"
#include "resources/data_files.h"
#include "tree_paths.h"

namespace fs = std::filesystem;

namespace {

// A decoded picture: 3 or 4 channels, top row first.
struct Picture {
    int size = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;
    const unsigned char* at(int x, int y) const {
        return &pixels[(static_cast<size_t>(y) * size + x) * channels];
    }
    int alpha(int x, int y) const { return channels == 4 ? at(x, y)[3] : 255; }
};

using Slot = uint32_t PngTextures::*;

const Slot monsters[] = {&PngTextures::clawomon,  &PngTextures::corvumon,   &PngTextures::crocomon,
                         &PngTextures::teddymon,  &PngTextures::picamon,    &PngTextures::kukukkmon,
                         &PngTextures::burkamon,  &PngTextures::jobbermole, &PngTextures::mexico,
                         &PngTextures::phantomon, &PngTextures::quadromon};
const Slot nameRibbons[] = {
    &PngTextures::clawtekst,  &PngTextures::corvtekst, &PngTextures::croctekst,
    &PngTextures::teddytekst, &PngTextures::pictekst,  &PngTextures::kuktekst,
    &PngTextures::burktest,   &PngTextures::jobtekst,  &PngTextures::mextekst,
    &PngTextures::phantekst,  &PngTextures::quadtekst};
const Slot credits[] = {&PngTextures::prall, &PngTextures::ulva, &PngTextures::blint,
                        &PngTextures::movik};
const Slot greetings[] = {&PngTextures::ferda, &PngTextures::karnholt, &PngTextures::ybo,
                          &PngTextures::sentiq};

// The data set the build made (the data target), in the build folder.
const std::string builtData = binaryDir();

std::string pathOf(Slot slot) {
    for (const PngFile& file : pngFiles)
        if (file.slot == slot) return file.path;
    ADD_FAILURE() << "a slot with no file";
    return "";
}

// A picture of the data set, by its path in the table ("data/pic/...").
Picture load(const std::string& name) {
    const std::string path = builtData + "/" + name;
    Picture pic;
    std::string error;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0) {
        JpegImage image;
        EXPECT_TRUE(decodeJpegFile(path.c_str(), image, error)) << name << ": " << error;
        EXPECT_EQ(image.width, image.height) << name;
        pic.size = image.width;
        pic.channels = 3;
        pic.pixels = image.pixels;
    } else {
        PngImage image;
        EXPECT_TRUE(decodePngFile(path.c_str(), true, image, error)) << name << ": " << error;
        EXPECT_EQ(image.width, image.height) << name;
        pic.size = static_cast<int>(image.width);
        pic.channels = static_cast<int>(image.channels);
        pic.pixels = image.pixels;
    }
    return pic;
}

Picture load(Slot slot) {
    return load(pathOf(slot));
}

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Rows [y0, y1) and columns [x0, x1) hold only fully transparent texels.
bool clearRegion(const Picture& pic, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (pic.alpha(x, y) != 0) return false;
    return true;
}

// Mean absolute colour step between column a and column b (or rows).
double lineStep(const Picture& pic, int a, int b, bool columns) {
    double sum = 0;
    for (int i = 0; i < pic.size; ++i) {
        const unsigned char* p = columns ? pic.at(a, i) : pic.at(i, a);
        const unsigned char* q = columns ? pic.at(b, i) : pic.at(i, b);
        for (int c = 0; c < pic.channels; ++c)
            sum += std::abs(p[c] - q[c]);
    }
    return sum / (pic.size * pic.channels);
}

} // namespace

TEST(Pictures, EveryFileDecodesAsAPowerOfTwoSquare) {
    int count = 0;
    for (const char* name : jpegFiles) {
        const Picture pic = load(name);
        EXPECT_TRUE(pic.size == 256 || pic.size == 512) << name << " is " << pic.size;
        ++count;
    }
    for (const PngFile& file : pngFiles) {
        const Picture pic = load(file.path);
        EXPECT_TRUE(pic.size == 256 || pic.size == 512) << file.path << " is " << pic.size;
        ++count;
    }
    EXPECT_EQ(count, 53);
}

TEST(Pictures, AlphaPicturesHaveClearCornersAndColouredTransparentTexels) {
    std::vector<Slot> slots(std::begin(monsters), std::end(monsters));
    slots.insert(slots.end(), std::begin(nameRibbons), std::end(nameRibbons));
    slots.insert(slots.end(), std::begin(credits), std::end(credits));
    slots.insert(slots.end(), std::begin(greetings), std::end(greetings));
    for (Slot slot :
         {&PngTextures::clawskills, &PngTextures::corvskills, &PngTextures::vs,
          &PngTextures::loading, &PngTextures::lyn, &PngTextures::pow, &PngTextures::saks,
          &PngTextures::dodge, &PngTextures::winner, &PngTextures::vormakalization})
        slots.push_back(slot);
    for (Slot slot : slots) {
        const std::string name = pathOf(slot);
        const Picture pic = load(name);
        ASSERT_EQ(pic.channels, 4) << name;
        const int n = pic.size;
        EXPECT_TRUE(clearRegion(pic, 0, 0, 2, 2) && clearRegion(pic, n - 2, n - 2, n, n))
            << name << ": corners are not transparent";
        int visible = 0, fringe = 0, dark = 0;
        for (int y = 1; y < n - 1; ++y)
            for (int x = 1; x < n - 1; ++x) {
                if (pic.alpha(x, y) == 255) ++visible;
                if (pic.alpha(x, y) != 0) continue;
                // A transparent texel beside a visible one carries a colour within
                // the range of the visible colours around it, so filtering keeps
                // the edge's hue instead of darkening it.
                int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0}, seen = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (pic.alpha(x + dx, y + dy) > 0) {
                            ++seen;
                            for (int c = 0; c < 3; ++c) {
                                lo[c] = std::min<int>(lo[c], pic.at(x + dx, y + dy)[c]);
                                hi[c] = std::max<int>(hi[c], pic.at(x + dx, y + dy)[c]);
                            }
                        }
                if (seen == 0) continue;
                ++fringe;
                for (int c = 0; c < 3; ++c)
                    if (pic.at(x, y)[c] + 24 < lo[c] || pic.at(x, y)[c] > hi[c] + 24) {
                        ++dark;
                        break;
                    }
            }
        EXPECT_GT(visible, n * n / 20) << name << " is nearly empty";
        EXPECT_GT(fringe, 0) << name;
        EXPECT_LT(dark, fringe / 50 + 1) << name << ": transparent texels not bled";
    }
}

TEST(Pictures, MonstersFillMostOfTheirSquareAndAreCentred) {
    for (Slot slot : monsters) {
        const std::string m = pathOf(slot);
        const Picture pic = load(m);
        int x0 = pic.size, x1 = 0, y0 = pic.size, y1 = 0;
        for (int y = 0; y < pic.size; ++y)
            for (int x = 0; x < pic.size; ++x)
                if (pic.alpha(x, y) > 128) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        const double extent = std::max(x1 - x0, y1 - y0) / double(pic.size);
        EXPECT_GT(extent, 0.72) << m;
        EXPECT_LT(extent, 0.995) << m;
        EXPECT_NEAR((x0 + x1) / 2.0 / pic.size, 0.5, 0.1) << m;
        EXPECT_NEAR((y0 + y1) / 2.0 / pic.size, 0.5, 0.1) << m;
    }
}

TEST(Pictures, OverlappingAndEdgePlatesKeepTheirContentClear) {
    // Name ribbons, credits and greetings lie half over the picture above.
    for (Slot slot : nameRibbons) {
        const Picture pic = load(slot);
        EXPECT_TRUE(clearRegion(pic, 0, 0, pic.size, pic.size / 2)) << pathOf(slot);
    }
    for (Slot slot : credits) {
        const std::string n = pathOf(slot);
        const Picture pic = load(n);
        EXPECT_TRUE(clearRegion(pic, 0, 0, pic.size, pic.size / 2)) << n;
        // The credits plates reach past the left or right edge by about 7 %.
        const int edge = pic.size * 8 / 100;
        EXPECT_TRUE(clearRegion(pic, 0, 0, edge, pic.size)) << n;
        EXPECT_TRUE(clearRegion(pic, pic.size - edge, 0, pic.size, pic.size)) << n;
    }
    for (Slot slot : greetings) {
        const std::string n = pathOf(slot);
        const Picture pic = load(n);
        EXPECT_TRUE(clearRegion(pic, 0, 0, pic.size, pic.size / 2)) << n;
        const int edge = pic.size * 8 / 100;
        EXPECT_TRUE(clearRegion(pic, 0, 0, edge, pic.size)) << n;
        EXPECT_TRUE(clearRegion(pic, pic.size - edge, 0, pic.size, pic.size)) << n;
    }
    // The loading plate's lowest twentieth and the logo's lowest quarter lie
    // below the window.
    const Picture loading = load(&PngTextures::loading);
    EXPECT_TRUE(clearRegion(loading, 0, loading.size * 9 / 10, loading.size, loading.size));
    const Picture logo = load(&PngTextures::vormakalization);
    EXPECT_TRUE(clearRegion(logo, 0, logo.size * 76 / 100, logo.size, logo.size));
    // The starring plate's top twentieth lies above it: black there.
    const Picture starring = load(&PngTextures::starring);
    for (int y = 0; y < starring.size / 10; ++y)
        for (int x = 0; x < starring.size; ++x)
            ASSERT_EQ(starring.at(x, y)[0] + starring.at(x, y)[1] + starring.at(x, y)[2], 0)
                << "the starring plate at " << x << "," << y;
}

TEST(Pictures, AdditivePicturesLieOnPureBlackAndOpaqueOnesHaveNoAlpha) {
    for (const std::string& name :
         {pathOf(&PngTextures::starring), std::string(jpegFiles[0]), std::string(jpegFiles[1])}) {
        const Picture pic = load(name);
        EXPECT_EQ(pic.channels, 3) << name;
        const int n = pic.size, k = 8;
        int lit = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const unsigned char* p = pic.at(x, y);
                const bool corner = (x < k || x >= n - k) && (y < k || y >= n - k);
                if (corner) {
                    EXPECT_EQ(p[0] + p[1] + p[2], 0) << name << " at " << x << "," << y;
                }
                if (p[0] + p[1] + p[2] > 300) ++lit;
            }
        EXPECT_GT(lit, n * n / 100) << name << " shows almost nothing";
    }
    for (Slot slot : {&PngTextures::bakgrunn, &PngTextures::vegg, &PngTextures::kuletex})
        EXPECT_EQ(load(slot).channels, 3) << pathOf(slot);
}

TEST(Pictures, TilingTexturesMatchAcrossOppositeEdges) {
    for (const std::string& name :
         {std::string(jpegFiles[2]), std::string(jpegFiles[3]), pathOf(&PngTextures::vegg),
          pathOf(&PngTextures::kuletex), pathOf(&PngTextures::overlayRuter)}) {
        const Picture pic = load(name);
        const int n = pic.size;
        for (bool columns : {true, false}) {
            // The wrap-around step is no bigger than a typical step inside.
            double inside = 0;
            for (int i = 0; i < n - 1; ++i)
                inside += lineStep(pic, i, i + 1, columns);
            inside /= n - 1;
            EXPECT_LE(lineStep(pic, n - 1, 0, columns), 2.5 * inside + 3)
                << name << (columns ? " left/right" : " top/bottom");
        }
    }
}

TEST(Pictures, MonsterBallHasItsBandAtTheEquatorRow) {
    const Picture ball = load(&PngTextures::pokeball);
    const int n = ball.size;
    for (int x = 0; x < n; ++x) {
        EXPECT_EQ(ball.alpha(x, n / 2), 255);
        // The buttons sit on the band, a quarter of the way round on each side.
        if (std::abs(x - n / 4) < n / 12 || std::abs(x - 3 * n / 4) < n / 12) continue;
        const unsigned char* band = ball.at(x, n / 2);
        const unsigned char* cap = ball.at(x, 4);
        const unsigned char* base = ball.at(x, n - 5);
        EXPECT_LT(band[0] + band[1] + band[2], 150) << "equator at column " << x;
        EXPECT_GT(cap[0], cap[1] + 80) << "red cap at column " << x;
        EXPECT_GT(std::min({base[0], base[1], base[2]}), 200) << "white half at column " << x;
    }
    EXPECT_LE(lineStep(ball, n - 1, 0, true), 3) << "the seam round the ball shows";
}

// The generator run again in this process writes the bytes the build's run
// wrote, and no picture more or less.
TEST(Pictures, AnotherRunWritesTheSameBytes) {
    const std::string again =
        (fs::temp_directory_path() / ("quarnel-pictures-" + std::to_string(getpid()))).string();
    fs::remove_all(again);
    ASSERT_TRUE(writePictures(again));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(again)) {
        if (!entry.is_regular_file()) continue;
        const std::string rel = "data/" + fs::relative(entry.path(), again).string();
        EXPECT_EQ(bytesOf(entry.path().string()), bytesOf(builtData + "/" + rel)) << rel;
        ++files;
    }
    EXPECT_EQ(files, jpegFileCount + pngFileCount);
    fs::remove_all(again);
}

TEST(PicturesFailure, UnwritableFolderIsReportedAsFailure) {
    const fs::path dir =
        fs::temp_directory_path() / ("quarnel-pictures-bad-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "pic") << "a file where the picture folder should be";
    EXPECT_FALSE(writePictures(dir.string()));
    fs::remove_all(dir);
}
