// PNG files into textures, with the parameters and effects of glpng's pngBind.
#pragma once

#include <cstdint>

constexpr int PNG_NOMIPMAP = 0;
constexpr int PNG_ALPHA = -2;

struct pngInfo {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Depth = 0;
    uint32_t Alpha = 0;
};

// Reads file into a new texture and leaves it bound. With PNG_ALPHA a file
// with alpha gives an RGBA texture, one without gives RGB. Returns the
// texture name, or 0 (silently) when the file is missing or damaged.
uint32_t pngBind(const char* file, int mipmap, int transparency, pngInfo* info, int wrap,
                 int minFilter, int magFilter);
