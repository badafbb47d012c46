// PNG files into textures, with the parameters and effects of glpng's pngBind.
#pragma once

#include <cstdint>

struct PngImage;

constexpr int PNG_NOMIPMAP = 0;      // a single level, uploaded as it is
constexpr int PNG_BUILDMIPMAPS = -1; // the whole mip-map chain, built by GLU
constexpr int PNG_SOLID = -1;        // always an opaque RGB texture
constexpr int PNG_ALPHA = -2;        // RGBA when the file has alpha or tRNS, else RGB

struct pngInfo {
    uint32_t Width = 0;  // pixels
    uint32_t Height = 0; // pixels
    uint32_t Depth = 0;  // bits per sample in the file: 1, 2, 4, 8 or 16
    uint32_t Alpha = 0;  // bits of alpha per texel of the texture made: 8 or 0
};

// Reads file into a new texture and leaves it bound. With PNG_ALPHA a file
// with alpha gives an RGBA texture, one without gives RGB; any other
// transparency gives RGB. mipmap PNG_NOMIPMAP makes one level; any other value
// builds the mip-map chain. Wrap applies to S and T; the filters are set as
// given. The file's top row lands at t = 0. info, when not null, is filled.
// Returns the texture name, or 0 (silently, no texture made) when the file is
// missing, damaged or larger than the limits of png_decode.h.
uint32_t pngBind(const char* file, int mipmap, int transparency, pngInfo* info, int wrap,
                 int minFilter, int magFilter);
// The OpenGL half of pngBind, for a picture already decoded (with keepAlpha
// as PNG_ALPHA asks): the same texture, parameters, info and name. A null
// image (the file was missing or damaged) gives 0 and makes nothing.
uint32_t pngBindImage(const PngImage* image, int mipmap, pngInfo* info, int wrap, int minFilter,
                      int magFilter);
