// FreeType rasterising into a coverage mask, then outline, shadow and fill
// composited onto the canvas.
#include "text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "sdf.h"

namespace {

const char* fontPath(Face face) {
    return face == Face::Bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
                              : "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
}

// The capitals of DejaVu Sans are 0.729 em tall.
constexpr float capPerEm = 0.729f;

struct FontFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    explicit FontFace(Face which) {
        if (FT_Init_FreeType(&library) != 0) return;
        if (FT_New_Face(library, fontPath(which), 0, &face) != 0) face = nullptr;
    }
    ~FontFace() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
};

struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    Mask(int width, int height) : w(width), h(height), v(static_cast<size_t>(width) * height) {}
    float get(int x, int y) const {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[static_cast<size_t>(y) * w + x];
    }
    float& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
};

// Advance width of the string in pixels at the face's current size.
float measure(FT_Face face, const std::string& text, float trackingPx) {
    float width = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && glyph) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            width += kern.x / 64.0f;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0)
            width += face->glyph->advance.x / 64.0f + trackingPx;
        previous = glyph;
    }
    return width - trackingPx;
}

// A circular maximum filter: the glyphs grown by r pixels, anti-aliased.
Mask dilate(const Mask& m, float r) {
    struct Tap {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> taps;
    const int ri = static_cast<int>(std::ceil(r + 1));
    for (int dy = -ri; dy <= ri; ++dy)
        for (int dx = -ri; dx <= ri; ++dx) {
            const float w = clamp01(r + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
            if (w > 0) taps.push_back({dx, dy, w});
        }
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (size_t k = 0; k < taps.size() && best < 1; ++k)
                best = std::max(best, m.get(x + taps[k].dx, y + taps[k].dy) * taps[k].weight);
            out.at(x, y) = best;
        }
    return out;
}

Mask softened(const Mask& m, int r) {
    Mask a = m, b = m;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float s = 0;
            for (int d = -r; d <= r; ++d)
                s += m.get(x + d, y);
            a.at(x, y) = s / (2 * r + 1);
        }
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float s = 0;
            for (int d = -r; d <= r; ++d)
                s += a.get(x, y + d);
            b.at(x, y) = s / (2 * r + 1);
        }
    return b;
}

} // namespace

bool fontsAvailable(std::string& error) {
    for (Face face : {Face::Bold, Face::Condensed}) {
        FontFace font(face);
        if (!font.face) {
            error = std::string("cannot load font ") + fontPath(face);
            return false;
        }
    }
    return true;
}

float drawText(Canvas& cv, const std::string& text, Vec2 centre, float capHeight,
               const TextStyle& style, float maxWidth) {
    FontFace font(style.face);
    if (!font.face) {
        std::fprintf(stderr, "quarnel-datagen: cannot load font %s\n", fontPath(style.face));
        return 0;
    }
    FT_Face face = font.face;
    float capPx = capHeight * cv.scale;
    const float trackingPx = style.tracking * cv.scale;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(capPx / capPerEm)));
    float width = measure(face, text, trackingPx);
    const float slantExtra = style.slant * capPx;
    const float limit = maxWidth * cv.scale - 2 * style.outline * cv.scale;
    if (width + slantExtra > limit) {
        capPx *= limit / (width + slantExtra);
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(capPx / capPerEm)));
        width = measure(face, text, trackingPx);
    }
    const float emPx = capPx / capPerEm;

    // The mask holds the text with room for outline, shadow and slant.
    const float outlinePx = style.outline * cv.scale;
    const int pad = static_cast<int>(std::ceil(
        outlinePx + 2 + std::max(std::fabs(style.shadow.x), std::fabs(style.shadow.y)) * cv.scale));
    const int maskW = static_cast<int>(std::ceil(width + std::fabs(slantExtra))) + 2 * pad;
    const int maskH = static_cast<int>(std::ceil(emPx * 1.3f)) + 2 * pad;
    const int baseline = pad + static_cast<int>(std::lround(emPx * 1.0f));
    Mask glyphs(maskW, maskH);
    float penX = static_cast<float>(pad);
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && glyph) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            penX += kern.x / 64.0f;
        }
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        const int left = static_cast<int>(std::lround(penX)) + slot->bitmap_left;
        const int top = baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= maskW || y >= maskH) continue;
                const float v = bm.buffer[row * bm.pitch + col] / 255.0f;
                glyphs.at(x, y) = std::max(glyphs.at(x, y), v);
            }
        penX += slot->advance.x / 64.0f + trackingPx;
    }
    if (style.slant != 0) {
        Mask leaning(maskW, maskH);
        for (int y = 0; y < maskH; ++y) {
            const float shift = style.slant * (baseline - y);
            const float fx = std::floor(shift), f = shift - fx;
            for (int x = 0; x < maskW; ++x) {
                const int sx = x - static_cast<int>(fx);
                leaning.at(x, y) = glyphs.get(sx, y) * (1 - f) + glyphs.get(sx - 1, y) * f;
            }
        }
        glyphs = leaning;
    }

    const Mask outline = dilate(glyphs, outlinePx);
    const Mask shadow = softened(outline, std::max(1, static_cast<int>(cv.scale)));
    const int shadowDx = static_cast<int>(std::lround(style.shadow.x * cv.scale));
    const int shadowDy = static_cast<int>(std::lround(style.shadow.y * cv.scale));
    const bool hasShadow = shadowDx != 0 || shadowDy != 0;

    // Place the mask so that the capitals' box is centred on `centre`.
    const float textLeft = pad, textCentreY = baseline - capPx * 0.5f;
    centre = {centre.x + cv.origin.x, centre.y + cv.origin.y};
    const int originX = static_cast<int>(
        std::lround(centre.x * cv.scale - (textLeft + width * 0.5f + slantExtra * 0.5f)));
    const int originY = static_cast<int>(std::lround(centre.y * cv.scale - textCentreY));
    const float capTop = baseline - capPx;
    for (int my = 0; my < maskH; ++my)
        for (int mx = 0; mx < maskW; ++mx) {
            const int x = originX + mx, y = originY + my;
            if (x < 0 || y < 0 || x >= cv.size || y >= cv.size) continue;
            float* dst = cv.at(x, y);
            if (hasShadow)
                blendOver(dst, pal::ink,
                          style.shadowAlpha * shadow.get(mx - shadowDx, my - shadowDy));
            blendOver(dst, style.outlineColor, outline.get(mx, my));
            const float t = clamp01((my - capTop) / capPx);
            blendOver(dst, mix(style.top, style.bottom, t), glyphs.get(mx, my));
        }
    return capPx / cv.scale;
}
