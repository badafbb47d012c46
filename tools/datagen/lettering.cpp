// The battle's captions: the fiery "VS", "LOADING..." and the glowing
// "STARRING" title, which is added onto black and so keeps a pure black ground.
#include <cmath>

#include "picture_recipes.h"
#include "sdf.h"
#include "text.h"

namespace {

// Flames: tongues of fire rising from a base, drawn as a burst of curved spikes.
Sdf flames(Vec2 c, float r) {
    std::vector<Vec2> pts;
    const int n = 11;
    for (int i = 0; i <= 2 * n; ++i) {
        const float a = -100 + 200.0f * i / (2 * n);
        const float rad =
            (i % 2 == 0) ? r * (1.0f - 0.25f * std::fabs(std::sin(i * 1.3f))) : r * 0.55f;
        const float up = (i % 2 == 0) ? 1.25f : 1.0f;
        pts.push_back(c + rotate({0, -rad * up}, a));
    }
    pts.push_back({c.x + r * 0.6f, c.y + r * 0.55f});
    pts.push_back({c.x - r * 0.6f, c.y + r * 0.55f});
    return polygon(pts);
}

} // namespace

void paintVs(Canvas& cv) {
    drawSticker(cv, flames({128, 150}, 118), Sticker{pal::orange, pal::magenta, 5, 1});
    drawSticker(cv, flames({128, 162}, 84), Sticker{pal::sun, pal::orange, 0, 0.7f});
    TextStyle style;
    style.top = pal::bone;
    style.bottom = pal::sun;
    style.outline = 7;
    style.shadow = {6, 6};
    style.slant = 0.18f;
    drawText(cv, "VS", {128, 150}, 96, style, 236);
}

void paintLoading(Canvas& cv) {
    // The lowest tenth stays empty: the plate reaches below the window.
    TextStyle style;
    style.face = Face::Condensed;
    style.top = pal::bone;
    style.bottom = pal::cyan;
    style.outline = 5;
    style.shadow = {4, 4};
    drawText(cv, "LOADING...", {128, 112}, 42, style, 240);
    drawSticker(cv, roundBox({128, 172}, 104, 16, 16),
                Sticker{pal::night, mix(pal::night, pal::ink, 0.5f), 4, 0.4f});
    for (int i = 0; i < 7; ++i)
        drawSticker(
            cv, roundBox({46.0f + i * 24, 172}, 9, 8, 4),
            Sticker{mix(pal::cyan, pal::bone, 0.4f), mix(pal::cyan, pal::night, 0.2f), 0, 0.6f});
}

void paintStarring(Canvas& cv) {
    // Additive on black: fire-and-sun lettering, stars, then the glow. The top
    // tenth stays dark because the plate reaches above the window there.
    fillAll(cv, pal::black);
    TextStyle style;
    style.face = Face::Condensed;
    style.top = pal::sun;
    style.bottom = pal::orange;
    style.outline = 0;
    style.shadow = {0, 0};
    style.tracking = 3;
    drawText(cv, "STARRING", {128, 132}, 40, style, 216);
    fillShape(cv, capsule({52, 172}, {204, 172}, 2.5f), pal::sun, true);
    fillShape(cv, capsule({52, 92}, {204, 92}, 2.5f), pal::sun, true);
    for (int i = 0; i < 5; ++i) {
        const float r = i == 2 ? 16.0f : 10.0f;
        fillShape(cv, star({68.0f + i * 30, 204}, r, r * 0.42f, 5, 0),
                  i == 2 ? pal::sun : pal::orange, true);
    }
    addGlow(cv, 0.9f, 0.9f);
}
