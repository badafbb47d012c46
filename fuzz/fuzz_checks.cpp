// The loaders run on one input each, with their results checked for sizes
// that agree; shared by the fuzz targets and the regression replay.
#include "fuzz_checks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/mp3_reader.h"
#include "audio/fft_bands.h"
#include "image/jpeg_decode.h"
#include "image/png_decode.h"
#include "mesh/tegn3d.h"
#include "platform/message_box.h"

namespace {

void noMessageBox(const char*, const char*, SDL_Window*) {}

void require(bool promise, const char* what) {
    if (promise) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace

std::string fuzzObjectFile(const uint8_t* data, size_t size) {
    setMessageBoxHandler(noMessageBox);
    tegn3d model;
    if (!model.loadFromMemory(data, size)) {
        require(model.meshes.empty() && model.meshCount == 0, "a refused file left meshes behind");
        return "refused";
    }
    require(model.meshCount >= 0 && size_t(model.meshCount) == model.meshes.size(),
            "mesh count and meshes disagree");
    size_t triangles = 0;
    for (Mesh* mesh : model.meshes) {
        require(mesh->vertexCount >= 0 && mesh->triangleCount >= 0, "negative count");
        require(mesh->normalCount == mesh->vertexCount && mesh->texCoordCount == mesh->vertexCount,
                "per-vertex arrays of different lengths");
        for (int32_t t = 0; t < mesh->triangleCount; t++)
            for (uint32_t corner : mesh->triangles[t].corner)
                require(corner < uint32_t(mesh->vertexCount), "corner past the last vertex");
        // What start-up does to every model: hostile coordinates included.
        mesh->computeNormals();
        mesh->negate();
        triangles += size_t(mesh->triangleCount);
    }
    // A second load of the same bytes replaces the first.
    require(model.loadFromMemory(data, size), "the same bytes loaded once, refused twice");
    return "decoded " + std::to_string(model.meshCount) + " meshes, " + std::to_string(triangles) +
           " triangles";
}

std::string fuzzJpeg(const uint8_t* data, size_t size) {
    JpegImage image;
    std::string error;
    if (!decodeJpegMemory(data, size, image, error)) {
        require(image.pixels.empty() && image.width == 0 && image.height == 0,
                "a refused picture left pixels behind");
        require(!error.empty(), "refused without a message");
        return "refused: " + error;
    }
    require(image.width > 0 && image.height > 0, "an empty picture taken");
    require(image.width <= maxJpegSide && image.height <= maxJpegSide, "a side over the limit");
    require(image.rowBytes == image.width * 3, "row length is not width * 3");
    require(image.pixels.size() == size_t(image.rowBytes) * size_t(image.height),
            "pixel count disagrees with the size");
    return "decoded " + std::to_string(image.width) + " x " + std::to_string(image.height);
}

std::string fuzzPng(const uint8_t* data, size_t size) {
    std::string verdict;
    for (bool keepAlpha : {false, true}) {
        PngImage image;
        std::string error;
        if (!decodePngMemory(data, size, keepAlpha, image, error)) {
            require(image.pixels.empty() && image.width == 0 && image.height == 0,
                    "a refused picture left pixels behind");
            require(!error.empty(), "refused without a message");
            verdict = "refused: " + error;
            continue;
        }
        require(image.width > 0 && image.height > 0, "an empty picture taken");
        require(image.width <= maxPngSide && image.height <= maxPngSide, "a side over the limit");
        require(image.channels == 3 || (keepAlpha && image.channels == 4),
                "channels neither RGB nor asked-for RGBA");
        require(image.pixels.size() == size_t(image.width) * image.height * image.channels,
                "pixel count disagrees with the size");
        verdict = "decoded " + std::to_string(image.width) + " x " + std::to_string(image.height);
    }
    return verdict;
}

std::string fuzzMp3(const uint8_t* data, size_t size) {
    Mp3ReaderPtr reader = openMp3Memory(data, size);
    if (!reader) return "refused";
    // The mono mix a chunk at a time, as whole-file decoding does, and the
    // spectrum of every 512 samples of it; nothing kept beyond one window.
    const int chunkFrames = 4096;
    std::vector<float> stereo(2 * chunkFrames);
    float window[spectrumInputSamples];
    float magnitudes[spectrumBands];
    int filled = 0;
    int64_t frames = 0;
    for (;;) {
        const int got = readMp3(*reader, stereo.data(), chunkFrames);
        require(got >= 0 && got <= chunkFrames, "more frames than asked for");
        frames += got;
        require(frames <= maxDecodedFrames, "decoding ran past the length cap");
        for (int i = 0; i < got; ++i) {
            window[filled++] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
            if (filled < spectrumInputSamples) continue;
            computeSpectrum(window, magnitudes);
            for (float m : magnitudes)
                require(!(m < 0.0f), "a negative magnitude");
            filled = 0;
        }
        if (got < chunkFrames) break;
    }
    // Once the end is reached it stays reached.
    require(readMp3(*reader, stereo.data(), chunkFrames) == 0, "sound after the end");
    return "decoded " + std::to_string(frames) + " frames";
}
