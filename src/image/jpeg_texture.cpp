// JPEG files into mip-mapped RGB textures; a missing or damaged picture ends
// the run, since the demo cannot play without its backdrops.
#include "image/jpeg_texture.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/jpeg_decode.h"
#include "image/mipmaps.h"
#include "platform/message_box.h"
#include "resources/demo_state.h"

std::unique_ptr<JpegImage> readJpeg(const char* file) {
    std::FILE* in = file ? std::fopen(file, "rb") : nullptr;
    if (!in) {
        showMessageBox("Unable to load JPG File!", "Error", demo.window);
        return nullptr;
    }
    auto image = std::make_unique<JpegImage>();
    std::string error;
    const bool ok = decodeJpegStream(in, *image, error);
    std::fclose(in);
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", file, error.c_str());
        std::exit(1);
    }
    return image;
}

void loadJpegTexture(uint32_t* table, const char* file, int slot) {
    if (!file) return;
    std::unique_ptr<JpegImage> image = readJpeg(file);
    // The window module's exit handler gives the desktop its mode back.
    if (!image) std::exit(1);

    glGenTextures(1, &table[slot]);
    glBindTexture(GL_TEXTURE_2D, table[slot]);
    // Rows are tightly packed, and width * 3 need not be a multiple of four.
    buildMipmaps(3, image->width, image->height, image->pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}
