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

// Decodes the file to RGB, whatever its colour space. Null when the file
// cannot be opened (after the message box "Unable to load JPG File!" /
// "Error"). Damaged data, or a picture too large to be real, ends the process
// with libjpeg's message on standard error and exit code 1.
std::unique_ptr<JpegImage> readJpeg(const char* file);
// Makes a mip-mapped RGB texture of file, stores its name in table[slot] and
// leaves it bound. A null file does nothing; a file that cannot be opened ends
// the process with exit code 1 after the message box. The unpack alignment is
// 1 during the upload and restored after it.
void loadJpegTexture(uint32_t* table, const char* file, int slot);
