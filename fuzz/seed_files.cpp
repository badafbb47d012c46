// quarnel-fuzz-seeds OUTDIR: small seed inputs made by the tests' own writers,
// in every layout the loaders must read, into OUTDIR/corpus-<target>/.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh/object_file.h"
#include "mp3_files.h"
#include "picture_files.h"

namespace fs = std::filesystem;

static bool ok = true;

static void save(const fs::path& folder, const std::string& name,
                 const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || !writeFileBytes((folder / name).string(), bytes)) {
        std::fprintf(stderr, "quarnel-fuzz-seeds: cannot make %s\n", name.c_str());
        ok = false;
    }
}

static TestPicture smallPicture(int channels) {
    if (channels == 3) return bandedPicture(13, 9, {{255, 0, 0}, {0, 200, 40}, {10, 20, 250}});
    return bandedPicture(13, 9, {{255, 0, 0, 255}, {0, 200, 40, 128}, {10, 20, 250, 0}});
}

static void jpegSeeds(const fs::path& folder) {
    const TestPicture picture = smallPicture(3);
    const std::pair<const char*, JpegColour> colours[] = {
        {"ycbcr", JpegColour::YCbCr},
        {"grey", JpegColour::Grey},
        {"adobe-cmyk", JpegColour::AdobeCmyk},
        {"plain-cmyk", JpegColour::PlainCmyk},
        {"ycck", JpegColour::Ycck},
    };
    for (const auto& [name, colour] : colours) {
        JpegOptions options;
        options.colour = colour;
        save(folder, std::string(name) + ".jpg", encodeTestJpeg(picture, options));
        options.progressive = true;
        save(folder, std::string(name) + "-progressive.jpg", encodeTestJpeg(picture, options));
    }
    JpegOptions subsampled;
    subsampled.fullChroma = false;
    subsampled.quality = 40;
    save(folder, "subsampled.jpg", encodeTestJpeg(picture, subsampled));
}

static void pngSeeds(const fs::path& folder) {
    struct Layout {
        const char* name;
        PngColour colour;
        int depth;
        int channels;
    };
    const Layout layouts[] = {
        {"rgb8", PngColour::Rgb, 8, 3},
        {"rgb16", PngColour::Rgb, 16, 3},
        {"rgba8", PngColour::Rgba, 8, 4},
        {"rgba16", PngColour::Rgba, 16, 4},
        {"grey1", PngColour::Grey, 1, 3},
        {"grey4", PngColour::Grey, 4, 3},
        {"grey16", PngColour::Grey, 16, 3},
        {"greyalpha8", PngColour::GreyAlpha, 8, 4},
        {"greyalpha16", PngColour::GreyAlpha, 16, 4},
        {"palette2", PngColour::Palette, 2, 3},
        {"palette8-alpha", PngColour::Palette, 8, 4},
    };
    for (const Layout& layout : layouts) {
        PngOptions options;
        options.colour = layout.colour;
        options.bitDepth = layout.depth;
        const TestPicture picture = smallPicture(layout.channels);
        save(folder, std::string(layout.name) + ".png", encodeTestPng(picture, options));
        options.interlaced = true;
        save(folder, std::string(layout.name) + "-adam7.png", encodeTestPng(picture, options));
    }
    PngOptions keyed;
    keyed.colour = PngColour::Rgb;
    keyed.transparent = std::array<uint8_t, 3>{255, 0, 0};
    save(folder, "rgb8-trns.png", encodeTestPng(smallPicture(3), keyed));
    save(folder, "header-only.png", pngHeaderOnly(4, 4));
}

static void mp3Seeds(const fs::path& folder) {
    const std::vector<float> tone = sineWave(440.0, 0.5, 0.3, 22050);
    std::vector<float> twoChannels;
    for (float sample : sineWave(1000.0, 0.7, 0.3, 44100)) {
        twoChannels.push_back(sample);
        twoChannels.push_back(-sample);
    }
    struct Seed {
        const char* name;
        const std::vector<float>& samples;
        int rate;
        int channels;
        bool tags;
    };
    const std::vector<float> lowRate = sineWave(300.0, 0.5, 0.3, 8000);
    const Seed seeds[] = {
        {"mono-22050.mp3", tone, 22050, 1, false},
        {"mono-22050-tags.mp3", tone, 22050, 1, true},
        {"stereo-44100.mp3", twoChannels, 44100, 2, false},
        {"mono-8000.mp3", lowRate, 8000, 1, false},
    };
    for (const Seed& seed : seeds) {
        const std::string path = (folder / seed.name).string();
        if (!writeTestMp3(path, seed.samples, seed.rate, seed.channels, seed.tags)) {
            std::fprintf(stderr, "quarnel-fuzz-seeds: cannot make %s\n", seed.name);
            ok = false;
        }
    }
}

static void objectFileSeeds(const fs::path& folder) {
    ObjectMesh quad;
    quad.vertices = {{-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0}, {1, 1, 0, 1, 1}, {-1, 1, 0, 0, 1}};
    quad.triangles = {{0, 1, 2}, {0, 2, 3}};
    ObjectMesh withBlock = quad;
    withBlock.ignoredBlock = {1, 2, 3, 4, 5, 6, 7};
    ObjectMesh empty;
    save(folder, "quad.ebr", encodeObjectFile({quad}));
    save(folder, "two-meshes.ebr", encodeObjectFile({withBlock, quad}));
    save(folder, "empty-mesh.ebr", encodeObjectFile({empty}));
    save(folder, "no-meshes.ebr", encodeObjectFile({}));
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quarnel-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const char* targets[] = {"object_file", "jpeg", "png", "mp3"};
    for (const char* target : targets) {
        std::error_code error;
        fs::create_directories(out / ("corpus-" + std::string(target)), error);
    }
    objectFileSeeds(out / "corpus-object_file");
    jpegSeeds(out / "corpus-jpeg");
    pngSeeds(out / "corpus-png");
    mp3Seeds(out / "corpus-mp3");
    return ok ? 0 : 1;
}
