// Flat pictures shaped like the loaders' textures, for the scene benchmarks.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>
#include <vector>

// A JPEG picture as the loader makes it: RGB, the whole mip-map chain.
inline uint32_t jpegLike(int size, uint8_t shade) {
    std::vector<uint8_t> texels(size_t(size) * size * 3, shade);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, size, size, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    return name;
}

// A PNG picture as the binder makes it: RGBA, no mip-maps, linear filters.
inline uint32_t pngLike(int size, uint8_t shade, uint8_t alpha) {
    std::vector<uint8_t> texels(size_t(size) * size * 4, shade);
    for (size_t i = 3; i < texels.size(); i += 4)
        texels[i] = alpha;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return name;
}
