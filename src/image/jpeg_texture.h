// JPEG files into mip-mapped RGB textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct JpegImage {
    int32_t rowBytes = 0; // width * 3: every picture is decoded to RGB
    int32_t width = 0;
    int32_t height = 0;
    std::vector<unsigned char> pixels; // top row first, rows tightly packed
};

// What reading one JPEG came to. Nothing is shown and nothing ends here: the
// loader decides what a failure means. Safe on any thread, so pictures can be
// decoded ahead of their turn.
struct JpegRead {
    bool opened = false;  // false: the file could not be opened
    bool decoded = false; // false with opened: damaged or refused, see error
    std::string error;    // libjpeg's message
    JpegImage image;
};
// Decodes the file to RGB, whatever its colour space.
JpegRead readJpeg(const char* file);
// The OpenGL half of loadJpegTexture: a new texture in table[slot], left
// bound, holding image's mip-map chain.
void makeJpegTexture(uint32_t* table, int slot, const JpegImage& image);
// Makes a mip-mapped RGB texture of file, stores its name in table[slot] and
// leaves it bound; true when it did. A null file, a file that cannot be
// opened and damaged data make nothing and return false. The unpack alignment
// is 1 during the upload and restored after it.
bool loadJpegTexture(uint32_t* table, const char* file, int slot);
