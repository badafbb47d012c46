// PNG decoding to 8-bit RGB or RGBA rows, apart from OpenGL, so that damaged
// and hostile files can be fed to it without a context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pictures larger than this are refused before their rows are allocated.
constexpr uint32_t maxPngSide = 8192;                 // pixels on either side
constexpr uint64_t maxPngBytes = uint64_t(256) << 20; // decoded bytes
constexpr uint32_t maxPngChunkBytes = 16u << 20;      // one ancillary chunk, unpacked

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;             // 3 (RGB) or 4 (RGBA)
    uint32_t fileDepth = 0;            // bits per sample in the file: 1, 2, 4, 8 or 16
    std::vector<unsigned char> pixels; // top row first, width * channels bytes a row
};

// Decodes any legal PNG (palette, grey, grey + alpha, RGB, RGBA, 1 to 16 bits,
// interlaced or not) to 8 bits a sample. With keepAlpha, a file with an alpha
// channel or a tRNS chunk gives RGBA, any other RGB; without it, always RGB.
// No gamma correction is applied: samples go through as stored. False, with
// libpng's message in error and image emptied, when the data is damaged or
// over the limits; never prints, never exits.
bool decodePngFile(const char* path, bool keepAlpha, PngImage& image, std::string& error);
bool decodePngMemory(const unsigned char* data, size_t size, bool keepAlpha, PngImage& image,
                     std::string& error);
