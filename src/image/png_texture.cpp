// pngBind: a PNG file into a texture, without mip-maps unless asked for.
#include "image/png_texture.h"

#include <GL/gl.h>
#include <string>

#include "image/mipmaps.h"
#include "image/png_decode.h"

uint32_t pngBind(const char* file, int mipmap, int transparency, pngInfo* info, int wrap,
                 int minFilter, int magFilter) {
    PngImage image;
    std::string error;
    if (!decodePngFile(file, transparency == PNG_ALPHA, image, error)) return 0;
    return pngBindImage(&image, mipmap, info, wrap, minFilter, magFilter);
}

uint32_t pngBindImage(const PngImage* decoded, int mipmap, pngInfo* info, int wrap, int minFilter,
                      int magFilter) {
    if (!decoded) return 0;
    const PngImage& image = *decoded;
    // A single level must fit as it is; GLU scales mip-mapped pictures to fit.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (mipmap == PNG_NOMIPMAP &&
        (image.width > uint32_t(maxSide) || image.height > uint32_t(maxSide)))
        return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);

    // Rows are tightly packed; the caller's alignment comes back afterwards.
    const GLsizei width = GLsizei(image.width), height = GLsizei(image.height);
    if (mipmap == PNG_NOMIPMAP) {
        const GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                     image.pixels.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    } else {
        buildMipmaps(int(image.channels), width, height, image.pixels.data());
    }

    if (info) {
        info->Width = image.width;
        info->Height = image.height;
        info->Depth = image.fileDepth;
        info->Alpha = image.channels == 4 ? 8 : 0;
    }
    return name;
}
