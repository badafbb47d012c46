// Textures of RGB and RGBA bytes, their sizes, and GLU's mip-maps and scaling.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "es.h"
#include "gl11.h"
#include "state.h"
#include "texture.h"

// GLU's error codes.
constexpr int gluInvalidEnum = 100900;
constexpr int gluInvalidValue = 100901;

void gl11GenTextures(int count, unsigned* names) {
    if (count < 0) return reportUnsupported("glGenTextures", unsigned(count));
    glGenTextures(count, names);
}

void gl11BindTexture(unsigned target, unsigned name) {
    if (target != GL_TEXTURE_2D) return reportUnsupported("glBindTexture", target);
    GLuint& bound = gl11State().attrib.boundTexture;
    if (bound == name) return;
    bound = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

static bool isFilter(int value, bool minifying) {
    switch (value) {
    case GL_NEAREST:
    case GL_LINEAR:
        return true;
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
    case GL_LINEAR_MIPMAP_LINEAR:
        return minifying;
    }
    return false;
}

void gl11TexParameteri(unsigned target, unsigned name, int value) {
    if (target != GL_TEXTURE_2D) return reportUnsupported("glTexParameteri", target);
    const bool known = ((name == GL_TEXTURE_MIN_FILTER || name == GL_TEXTURE_MAG_FILTER) &&
                        isFilter(value, name == GL_TEXTURE_MIN_FILTER)) ||
                       ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) &&
                        (value == GL_REPEAT || value == GL_CLAMP_TO_EDGE));
    if (!known) return reportUnsupported("glTexParameteri", unsigned(value));
    TextureRecord& texture = gl11State().textures[gl11State().attrib.boundTexture];
    if (name == GL_TEXTURE_MIN_FILTER) texture.minFilter = GLenum(value);
    if (name == GL_TEXTURE_WRAP_S) texture.wrapS = GLenum(value);
    if (name == GL_TEXTURE_WRAP_T) texture.wrapT = GLenum(value);
    glTexParameteri(GL_TEXTURE_2D, name, value);
}

// Bytes per pixel of an internal format GL 1.1 accepts for these formats
// (1 to 4 count as component numbers), or 0.
static int channelsOfInternalFormat(int internalFormat) {
    switch (internalFormat) {
    case 3:
    case GL_RGB:
    case GL11_RGB8:
        return 3;
    case 4:
    case GL_RGBA:
    case GL11_RGBA8:
        return 4;
    }
    return 0;
}

static int channelsOfFormat(GLenum format) {
    return format == GL_RGB ? 3 : format == GL_RGBA ? 4 : 0;
}

void gl11TexImage2D(unsigned target, int level, int internalFormat, int width, int height,
                    int border, unsigned format, unsigned type, const void* pixels) {
    if (target != GL_TEXTURE_2D) return reportUnsupported("glTexImage2D", target);
    if (type != GL_UNSIGNED_BYTE) return reportUnsupported("glTexImage2D", type);
    const int channels = channelsOfFormat(format);
    // ES takes the pixels only in their own format.
    if (channels == 0 || channelsOfInternalFormat(internalFormat) != channels)
        return reportUnsupported("glTexImage2D", unsigned(internalFormat));
    if (level < 0 || level > 31 || width < 0 || height < 0 || border != 0)
        return reportUnsupported("glTexImage2D", unsigned(level));
    TextureRecord& texture = gl11State().textures[gl11State().attrib.boundTexture];
    if (texture.levels.size() <= size_t(level)) texture.levels.resize(size_t(level) + 1);
    texture.levels[size_t(level)] = TextureLevel{width, height, internalFormat};
    glTexImage2D(GL_TEXTURE_2D, level, GLint(format), width, height, 0, format, type, pixels);
}

void gl11GetTexLevelParameteriv(unsigned target, int level, unsigned name, int* value) {
    if (target != GL_TEXTURE_2D) return reportUnsupported("glGetTexLevelParameteriv", target);
    const Gl11State& state = gl11State();
    const auto found = state.textures.find(state.attrib.boundTexture);
    TextureLevel answer; // a level never given reads as GL's initial one
    if (found != state.textures.end() && level >= 0 && size_t(level) < found->second.levels.size())
        answer = found->second.levels[size_t(level)];
    switch (name) {
    case GL11_TEXTURE_WIDTH:
        *value = answer.width;
        return;
    case GL11_TEXTURE_HEIGHT:
        *value = answer.height;
        return;
    case GL11_TEXTURE_INTERNAL_FORMAT:
        *value = answer.internalFormat;
        return;
    }
    reportUnsupported("glGetTexLevelParameteriv", name);
}

static bool isPowerOfTwo(int side) {
    return side > 0 && (side & (side - 1)) == 0;
}

// Says once per texture that WebGL 1 would draw it black, and why: it
// samples a texture whose sides are not both powers of two only when it
// neither repeats nor is mip-mapped.
static void sayIfBlackOnWebGl(GLuint name, TextureRecord& texture) {
    const TextureLevel& base = texture.levels[0];
    if (texture.saidBlack || (isPowerOfTwo(base.width) && isPowerOfTwo(base.height))) return;
    const bool mipmapped = texture.minFilter != GL_NEAREST && texture.minFilter != GL_LINEAR;
    const bool repeats = texture.wrapS == GL_REPEAT || texture.wrapT == GL_REPEAT;
    if (!mipmapped && !repeats) return;
    texture.saidBlack = true;
    std::fprintf(stderr,
                 "gl11: texture %u (%d x %d) draws black in WebGL 1: a side is not a power of "
                 "two and it %s\n",
                 name, base.width, base.height,
                 mipmapped && repeats ? "is mip-mapped and repeats"
                 : mipmapped          ? "is mip-mapped"
                                      : "repeats (GL_REPEAT; use GL_CLAMP_TO_EDGE)");
}

bool boundTextureSamples() {
    Gl11State& state = gl11State();
    const auto found = state.textures.find(state.attrib.boundTexture);
    if (found == state.textures.end()) return false;
    TextureRecord& texture = found->second;
    if (texture.levels.empty() || texture.levels[0].width < 1 || texture.levels[0].height < 1)
        return false;
    if (texture.minFilter != GL_NEAREST && texture.minFilter != GL_LINEAR) {
        // Mip-mapped: every level down to 1 x 1, each half the one before, one format.
        const TextureLevel& base = texture.levels[0];
        int width = base.width, height = base.height;
        for (size_t level = 1; width > 1 || height > 1; level++) {
            width = std::max(1, width / 2), height = std::max(1, height / 2);
            if (level >= texture.levels.size()) return false;
            const TextureLevel& l = texture.levels[level];
            if (l.width != width || l.height != height || l.internalFormat != base.internalFormat)
                return false;
        }
    }
    sayIfBlackOnWebGl(found->first, texture);
    return true;
}

// Bytes from one row to the next for width pixels of channels bytes at alignment.
static size_t rowBytes(int width, int channels, int alignment) {
    const size_t a = size_t(alignment);
    return (size_t(width) * size_t(channels) + a - 1) / a * a;
}

// Scales in (rows inStride bytes apart) to out (tightly packed) with GLU's box:
// each output pixel averages the input over an area centred on its own centre,
// as wide as the scale factor when shrinking and one input pixel when
// enlarging, wrapping around the edges; rounded to the nearest byte.
static void scaleBox(int channels, int wi, int hi, const uint8_t* in, size_t inStride, int wo,
                     int ho, uint8_t* out, size_t outStride) {
    const double sx = double(wi) / wo, sy = double(hi) / ho;
    const double halfX = std::max(sx, 1.0) / 2, halfY = std::max(sy, 1.0) / 2;
    std::vector<double> sum(static_cast<size_t>(channels));
    for (int y = 0; y < ho; y++) {
        const double y0 = (y + 0.5) * sy - halfY, y1 = (y + 0.5) * sy + halfY;
        for (int x = 0; x < wo; x++) {
            const double x0 = (x + 0.5) * sx - halfX, x1 = (x + 0.5) * sx + halfX;
            std::fill(sum.begin(), sum.end(), 0.0);
            double area = 0.0;
            for (int yy = int(std::floor(y0)); yy < int(std::ceil(y1)); yy++) {
                const double wy = std::min(y1, yy + 1.0) - std::max(y0, double(yy));
                if (wy <= 1e-9) continue;
                const uint8_t* row = in + size_t(((yy % hi) + hi) % hi) * inStride;
                for (int xx = int(std::floor(x0)); xx < int(std::ceil(x1)); xx++) {
                    const double wx = std::min(x1, xx + 1.0) - std::max(x0, double(xx));
                    if (wx <= 1e-9) continue;
                    const uint8_t* p = row + size_t(((xx % wi) + wi) % wi) * size_t(channels);
                    for (int c = 0; c < channels; c++)
                        sum[size_t(c)] += wx * wy * p[c];
                    area += wx * wy;
                }
            }
            uint8_t* o = out + size_t(y) * outStride + size_t(x) * size_t(channels);
            for (int c = 0; c < channels; c++)
                o[c] = uint8_t(std::min(255.0, sum[size_t(c)] / area + 0.5));
        }
    }
}

int gl11uScaleImage(unsigned format, int widthIn, int heightIn, unsigned typeIn, const void* dataIn,
                    int widthOut, int heightOut, unsigned typeOut, void* dataOut) {
    const int channels = channelsOfFormat(format);
    if (channels == 0 || typeIn != GL_UNSIGNED_BYTE || typeOut != GL_UNSIGNED_BYTE)
        return gluInvalidEnum;
    if (widthIn < 0 || heightIn < 0 || widthOut < 0 || heightOut < 0) return gluInvalidValue;
    if (widthIn == 0 || heightIn == 0 || widthOut == 0 || heightOut == 0) return 0;
    const ClientState& client = gl11State().client;
    scaleBox(channels, widthIn, heightIn, static_cast<const uint8_t*>(dataIn),
             rowBytes(widthIn, channels, client.unpackAlignment), widthOut, heightOut,
             static_cast<uint8_t*>(dataOut), rowBytes(widthOut, channels, client.packAlignment));
    return 0;
}

// The power of two GLU makes a side: the one below, or the one above when the
// side is at least one and a half times the one below; at most largest.
static int powerOfTwoFor(int side, int largest) {
    int power = 1;
    while (power * 2 <= side)
        power *= 2;
    if (side >= power + power / 2) power *= 2;
    while (power > largest && power > 1)
        power /= 2;
    return power;
}

// The next level of a tightly packed w x h picture: 2 x 2 blocks averaged
// rounding to nearest, pairs (once one side is 1) averaged rounding down, as
// GLU builds its levels.
static std::vector<uint8_t> halve(const std::vector<uint8_t>& in, int w, int h, int channels) {
    const int nw = std::max(1, w / 2), nh = std::max(1, h / 2);
    std::vector<uint8_t> out(size_t(nw) * size_t(nh) * size_t(channels));
    auto at = [&](int x, int y, int c) {
        return int(in[(size_t(y) * size_t(w) + size_t(x)) * size_t(channels) + size_t(c)]);
    };
    for (int y = 0; y < nh; y++)
        for (int x = 0; x < nw; x++)
            for (int c = 0; c < channels; c++) {
                int value;
                if (w > 1 && h > 1)
                    value = (at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) +
                             at(2 * x, 2 * y + 1, c) + at(2 * x + 1, 2 * y + 1, c) + 2) /
                            4;
                else if (w > 1)
                    value = (at(2 * x, y, c) + at(2 * x + 1, y, c)) / 2;
                else
                    value = (at(x, 2 * y, c) + at(x, 2 * y + 1, c)) / 2;
                out[(size_t(y) * size_t(nw) + size_t(x)) * size_t(channels) + size_t(c)] =
                    uint8_t(value);
            }
    return out;
}

int gl11uBuild2DMipmaps(unsigned target, int internalFormat, int width, int height, unsigned format,
                        unsigned type, const void* pixels) {
    const int channels = channelsOfFormat(format);
    if (target != GL_TEXTURE_2D || channels == 0 || type != GL_UNSIGNED_BYTE) return gluInvalidEnum;
    if (width < 1 || height < 1) return gluInvalidValue;
    ClientState& client = gl11State().client;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);

    // Level 0 at powers of two, tightly packed.
    const int w0 = powerOfTwoFor(width, largest), h0 = powerOfTwoFor(height, largest);
    std::vector<uint8_t> level(size_t(w0) * size_t(h0) * size_t(channels));
    const size_t inStride = rowBytes(width, channels, client.unpackAlignment);
    const uint8_t* in = static_cast<const uint8_t*>(pixels);
    if (w0 == width && h0 == height) {
        for (int y = 0; y < height; y++)
            std::copy(in + size_t(y) * inStride,
                      in + size_t(y) * inStride + size_t(width) * size_t(channels),
                      level.begin() + std::ptrdiff_t(size_t(y) * size_t(width) * size_t(channels)));
    } else {
        scaleBox(channels, width, height, in, inStride, w0, h0, level.data(),
                 size_t(w0) * size_t(channels));
    }

    // Every level uploads tightly packed; the caller's alignment comes back.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const int saved = client.unpackAlignment;
    client.unpackAlignment = 1;
    int w = w0, h = h0;
    for (int l = 0;; l++) {
        gl11TexImage2D(GL_TEXTURE_2D, l, internalFormat, w, h, 0, format, type, level.data());
        if (w == 1 && h == 1) break;
        level = halve(level, w, h, channels);
        w = std::max(1, w / 2), h = std::max(1, h / 2);
    }
    client.unpackAlignment = saved;
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved);
    return 0;
}
