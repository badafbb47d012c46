// JPEG files into mip-mapped RGB textures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct JpegImage {
    int32_t rowBytes = 0; // width * 3: every picture is decoded to RGB
    int32_t width = 0;
    int32_t height = 0;
    std::vector<unsigned char> pixels; // top row first, rows tightly packed
};

// Decodes the file to RGB. Null when the file cannot be opened (after the
// message box "Unable to load JPG File!" / "Error"). Damaged data ends the
// process with libjpeg's message and exit code 1.
std::unique_ptr<JpegImage> readJpeg(const char* file);
// Makes a texture of file and stores its name in table[slot]. A file that
// cannot be opened ends the process with exit code 1.
void loadJpegTexture(uint32_t* table, const char* file, int slot);
