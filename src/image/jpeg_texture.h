// JPEG files into mip-mapped RGB textures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
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
// What reading one JPEG came to, before anything is shown or ended: safe on
// any thread, so pictures can be decoded ahead of their turn.
struct JpegRead {
    bool opened = false;  // false: the file could not be opened
    bool decoded = false; // false with opened: damaged or refused, see error
    std::string error;    // libjpeg's message
    JpegImage image;
};
JpegRead readJpegQuietly(const char* file);
// Takes a read as readJpeg reports it: the message box and null when the file
// could not be opened, libjpeg's message and exit code 1 when it is damaged,
// else the picture (moved out of read).
std::unique_ptr<JpegImage> acceptJpeg(const char* file, JpegRead& read);
// The OpenGL half of loadJpegTexture: a new texture in table[slot], left
// bound, holding image's mip-map chain.
void makeJpegTexture(uint32_t* table, int slot, const JpegImage& image);
// Makes a mip-mapped RGB texture of file, stores its name in table[slot] and
// leaves it bound. A null file does nothing; a file that cannot be opened ends
// the process with exit code 1 after the message box. The unpack alignment is
// 1 during the upload and restored after it.
void loadJpegTexture(uint32_t* table, const char* file, int slot);
