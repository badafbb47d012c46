// gluBuild2DMipmaps, with the scaling to powers of two done beforehand.
#include "image/mipmaps.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstddef>
#include <vector>

// The power of two GLU scales a side to: the one below, or the one above when
// the side is at least one and a half times the one below; at most largest.
static int powerOfTwoFor(int side, int largest) {
    int power = 1;
    while (power * 2 <= side)
        power *= 2;
    if (side >= power + power / 2) power *= 2;
    while (power > largest && power > 1)
        power /= 2;
    return power;
}

void buildMipmaps(int channels, int width, int height, const unsigned char* pixels) {
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    GLint unpackAlignment = 4, packAlignment = 4, largest = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // Left to scale a picture itself, Mesa's libGLU leaves the last row of
    // level 0 black when only the width changes; gluScaleImage gets it right.
    const int scaledWidth = powerOfTwoFor(width, largest);
    const int scaledHeight = powerOfTwoFor(height, largest);
    std::vector<unsigned char> scaled;
    if (scaledWidth != width || scaledHeight != height) {
        scaled.resize(size_t(scaledWidth) * scaledHeight * channels);
        if (gluScaleImage(format, width, height, GL_UNSIGNED_BYTE, pixels, scaledWidth,
                          scaledHeight, GL_UNSIGNED_BYTE, scaled.data()) == 0) {
            pixels = scaled.data();
            width = scaledWidth;
            height = scaledHeight;
        }
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, channels, width, height, format, GL_UNSIGNED_BYTE, pixels);

    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}
