// JPEG files into mip-mapped RGB textures; a missing or damaged picture ends
// the run, since the demo cannot play without its backdrops.
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "image/jpeg_decode.h"
#include "image/mipmaps.h"
#include "platform/message_box.h"
#include "resources/demo_state.h"

JpegRead readJpegQuietly(const char* file) {
    JpegRead read;
    std::FILE* in = file ? std::fopen(file, "rb") : nullptr;
    if (!in) return read;
    read.opened = true;
    read.decoded = decodeJpegStream(in, read.image, read.error);
    std::fclose(in);
    return read;
}

std::unique_ptr<JpegImage> acceptJpeg(const char* file, JpegRead& read) {
    if (!read.opened) {
        showMessageBox("Unable to load JPG File!", "Error", demo.window);
        return nullptr;
    }
    if (!read.decoded) {
        std::fprintf(stderr, "%s: %s\n", file, read.error.c_str());
        std::exit(1);
    }
    return std::make_unique<JpegImage>(std::move(read.image));
}

std::unique_ptr<JpegImage> readJpeg(const char* file) {
    JpegRead read = readJpegQuietly(file);
    return acceptJpeg(file, read);
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

void loadJpegTexture(uint32_t* table, const char* file, int slot) {
    if (!file) return;
    std::unique_ptr<JpegImage> image = readJpeg(file);
    // The window module's exit handler gives the desktop its mode back.
    if (!image) std::exit(1);
    makeJpegTexture(table, slot, *image);
}
