// Start-up cost of the picture textures: decoding, uploading and building
// mip-maps, apart, for a 512 x 512 JPEG and 512 x 512 and 256 x 256 RGBA PNGs.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <cmath>
#include <string>

#include "image/jpeg_decode.h"
#include "image/jpeg_texture.h"
#include "image/mipmaps.h"
#include "image/png_decode.h"
#include "image/png_texture.h"
#include "picture_files.h"
#include "platform/headless_gl.h"

namespace {

// Smooth gradients with some detail, so the files compress like pictures.
TestPicture scenery(int side, int channels) {
    TestPicture picture = solidPicture(side, side, std::vector<uint8_t>(size_t(channels), 0));
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            uint8_t* p = picture.at(x, y);
            p[0] = uint8_t(x * 255 / side);
            p[1] = uint8_t(y * 255 / side);
            p[2] = uint8_t(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.07));
            if (channels == 4) p[3] = uint8_t((x + y) * 255 / (2 * side));
        }
    return picture;
}

const std::vector<uint8_t>& jpeg512() {
    static const std::vector<uint8_t> bytes = encodeTestJpeg(scenery(512, 3));
    return bytes;
}

const std::vector<uint8_t>& png(int side) {
    static const std::vector<uint8_t> large = encodeTestPng(scenery(512, 4));
    static const std::vector<uint8_t> small = encodeTestPng(scenery(256, 4));
    return side == 512 ? large : small;
}

// Writes bytes to a file of this process and returns its path.
std::string writtenFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = testFilePath(name);
    writeFileBytes(path, bytes);
    return path;
}

// One offscreen context for every benchmark that needs GL.
bool haveContext() {
    static HeadlessGl gl;
    static const bool made = createHeadlessGl(gl, 64, 64);
    return made;
}

} // namespace

static void BM_JpegDecode512(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = jpeg512();
    for (auto _ : state) {
        JpegImage image;
        std::string error;
        if (!decodeJpegMemory(bytes.data(), bytes.size(), image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 512 * 512 * 3);
}
BENCHMARK(BM_JpegDecode512)->Unit(benchmark::kMillisecond);

// The mip-map chain of a decoded 512 x 512 RGB picture (no scaling needed).
static void BM_JpegMipmaps512(benchmark::State& state) {
    if (!haveContext()) return state.SkipWithError("no GL context");
    JpegImage image;
    std::string error;
    decodeJpegMemory(jpeg512().data(), jpeg512().size(), image, error);
    for (auto _ : state) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        buildMipmaps(3, image.width, image.height, image.pixels.data());
        glFinish();
        glDeleteTextures(1, &name);
    }
}
BENCHMARK(BM_JpegMipmaps512)->Unit(benchmark::kMillisecond);

// The same picture at 500 x 500, which is first scaled to 512 x 512.
static void BM_JpegMipmapsScaled500(benchmark::State& state) {
    if (!haveContext()) return state.SkipWithError("no GL context");
    const TestPicture picture = scenery(500, 3);
    for (auto _ : state) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        buildMipmaps(3, 500, 500, picture.pixels.data());
        glFinish();
        glDeleteTextures(1, &name);
    }
}
BENCHMARK(BM_JpegMipmapsScaled500)->Unit(benchmark::kMillisecond);

// Whole loader: open, decode, mip-maps.
static void BM_JpegLoadTexture512(benchmark::State& state) {
    if (!haveContext()) return state.SkipWithError("no GL context");
    const std::string path = writtenFile("scenery.jpg", jpeg512());
    uint32_t table[1] = {};
    for (auto _ : state) {
        loadJpegTexture(table, path.c_str(), 0);
        glFinish();
        glDeleteTextures(1, &table[0]);
    }
}
BENCHMARK(BM_JpegLoadTexture512)->Unit(benchmark::kMillisecond);

static void BM_PngDecode(benchmark::State& state) {
    const int side = int(state.range(0));
    const std::vector<uint8_t>& bytes = png(side);
    for (auto _ : state) {
        PngImage image;
        std::string error;
        if (!decodePngMemory(bytes.data(), bytes.size(), true, image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * side * side * 4);
}
BENCHMARK(BM_PngDecode)->Arg(512)->Arg(256)->Unit(benchmark::kMillisecond);

// One level, as the demo uploads its PNGs.
static void BM_PngUpload(benchmark::State& state) {
    if (!haveContext()) return state.SkipWithError("no GL context");
    const int side = int(state.range(0));
    PngImage image;
    std::string error;
    decodePngMemory(png(side).data(), png(side).size(), true, image, error);
    for (auto _ : state) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.pixels.data());
        glFinish();
        glDeleteTextures(1, &name);
    }
}
BENCHMARK(BM_PngUpload)->Arg(512)->Arg(256)->Unit(benchmark::kMillisecond);

// Whole pngBind with the demo's arguments.
static void BM_PngBind(benchmark::State& state) {
    if (!haveContext()) return state.SkipWithError("no GL context");
    const int side = int(state.range(0));
    const std::string path = writtenFile("scenery.png", png(side));
    for (auto _ : state) {
        GLuint name = pngBind(path.c_str(), PNG_NOMIPMAP, PNG_ALPHA, nullptr, GL_REPEAT, GL_LINEAR,
                              GL_LINEAR);
        if (!name) state.SkipWithError("pngBind gave 0");
        glFinish();
        glDeleteTextures(1, &name);
    }
}
BENCHMARK(BM_PngBind)->Arg(512)->Arg(256)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
