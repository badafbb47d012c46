// JPEG files into mip-mapped RGB textures.
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <cstdio>

#include "image/jpeg_decode.h"
#include "image/mipmaps.h"

JpegRead readJpeg(const char* file) {
    JpegRead read;
    std::FILE* in = file ? std::fopen(file, "rb") : nullptr;
    if (!in) return read;
    read.opened = true;
    read.decoded = decodeJpegStream(in, read.image, read.error);
    std::fclose(in);
    return read;
}

void makeJpegTexture(uint32_t* table, int slot, const JpegImage& image) {
    glGenTextures(1, &table[slot]);
    glBindTexture(GL_TEXTURE_2D, table[slot]);
    // Rows are tightly packed, and width * 3 need not be a multiple of four.
    buildMipmaps(3, image.width, image.height, image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

bool loadJpegTexture(uint32_t* table, const char* file, int slot) {
    if (!file) return false;
    const JpegRead read = readJpeg(file);
    if (!read.decoded) return false;
    makeJpegTexture(table, slot, read.image);
    return true;
}
