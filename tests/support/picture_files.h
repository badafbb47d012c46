// Writes JPEG and PNG test pictures with libjpeg and libpng, in any of the
// layouts the loaders must read, so that tests make their own files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// width x height pixels of channels bytes each (3 RGB, 4 RGBA), top row first.
struct TestPicture {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<uint8_t> pixels;

    uint8_t* at(int x, int y) { return pixels.data() + (size_t(y) * width + x) * channels; }
    const uint8_t* at(int x, int y) const {
        return pixels.data() + (size_t(y) * width + x) * channels;
    }
};

// One colour everywhere; colour has channels entries.
TestPicture solidPicture(int width, int height, const std::vector<uint8_t>& colour);
// Horizontal bands of equal height, the first band at the top; every colour
// has the same number of entries (3 or 4), which gives the channels.
TestPicture bandedPicture(int width, int height, const std::vector<std::vector<uint8_t>>& colours);

enum class JpegColour {
    YCbCr,     // the usual colour JPEG
    Grey,      // one component; libjpeg takes the luminance of the picture
    AdobeCmyk, // four inverted inks with an Adobe marker, as Photoshop writes them
    PlainCmyk, // four plain inks, no Adobe marker
    Ycck,      // inverted inks stored as YCCK, with an Adobe marker
};

struct JpegOptions {
    JpegColour colour = JpegColour::YCbCr;
    int quality = 95;
    bool progressive = false; // libjpeg's simple progression
    // A legal progressive script with one scan per component, coefficient and
    // bit of successive approximation: over two thousand scans (colour only).
    bool everyScanSeparate = false;
    bool fullChroma = true; // no chroma subsampling, so colours stay sharp
};

// The picture must be RGB (3 channels). Empty on failure.
std::vector<uint8_t> encodeTestJpeg(const TestPicture& picture, const JpegOptions& options = {});
bool writeTestJpeg(const std::string& path, const TestPicture& picture,
                   const JpegOptions& options = {});

enum class PngColour { Rgb, Rgba, Grey, GreyAlpha, Palette };

struct PngOptions {
    PngColour colour = PngColour::Rgba;
    int bitDepth = 8;        // 1, 2, 4 for grey and palette; 16 for all but palette
    bool interlaced = false; // Adam7
    // For Rgb and Grey: a tRNS chunk making this colour transparent (Grey
    // uses its first entry). Palette files get tRNS whenever the picture has
    // alpha below 255.
    std::optional<std::array<uint8_t, 3>> transparent;
};

// Grey layouts take the picture's red channel, scaled down to the bit depth
// by dropping low bits; 16-bit samples are value * 257. Palette files hold
// the picture's distinct colours (alpha included), at most 2^bitDepth of
// them. Empty on failure.
std::vector<uint8_t> encodeTestPng(const TestPicture& picture, const PngOptions& options = {});
bool writeTestPng(const std::string& path, const TestPicture& picture,
                  const PngOptions& options = {});

// A PNG of only a signature, an IHDR with these fields and IEND, with correct
// checksums: for sizes no real file should have.
std::vector<uint8_t> pngHeaderOnly(uint32_t width, uint32_t height, int bitDepth = 8,
                                   int colourType = 6);

// A path for name in a folder of this test process, removed by no one.
std::string testFilePath(const std::string& name);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFileBytes(const std::string& path);
