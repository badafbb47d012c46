// The attack pictures of the battle: lightning, a "POW!" burst, scissors,
// "DODGE!" and the winner's banner. They are shown small (about 110 px), so
// shapes are bold and lettering fills the square.
#include <cmath>

#include "monster_parts.h"
#include "picture_recipes.h"
#include "sdf.h"
#include "text.h"

namespace {

Color darker(Color c) {
    return shade(c, 0.7f);
}

// A soft coloured halo under a shape, blended under what follows.
void halo(Canvas& cv, const Sdf& shape, Color colour, float grown, float blurUnits) {
    Canvas glow(cv.size);
    fillShape(glow, grow(shape, grown), colour);
    blur(glow, blurUnits * cv.scale);
    over(cv, glow);
}

// Speed lines radiating from the centre, between two radii.
void speedLines(Canvas& cv, Vec2 c, float r0, float r1, int count, Color colour, float width) {
    for (int i = 0; i < count; ++i) {
        const float a = i * 360.0f / count + 7 * std::sin(i * 1.7f);
        const float len = 0.75f + 0.25f * std::sin(i * 2.3f);
        const Vec2 from = c + rotate({0, -r0}, a), to = c + rotate({0, -(r0 + (r1 - r0) * len)}, a);
        fillShape(cv, capsule(from, to, width, 0.5f), colour);
    }
}

} // namespace

void paintLightning(Canvas& cv) {
    const Sdf bolt =
        polygon({{150, 8}, {66, 124}, {118, 124}, {78, 248}, {196, 104}, {140, 104}, {186, 8}});
    halo(cv, bolt, withAlpha(pal::cyan, 0.9f), 6, 16);
    drawSticker(cv, bolt, Sticker{pal::bone, pal::sun, 5, 1});
    fillShape(cv, polygon({{160, 22}, {96, 114}, {124, 114}}), withAlpha(pal::bone, 0.9f));
    drawSpark(cv, {40, 70}, 18, -25, pal::cyan);
    drawSpark(cv, {214, 178}, 20, 20, pal::cyan);
}

void paintPow(Canvas& cv) {
    const Sdf burst = star({128, 128}, 124, 78, 12, 8, 0.22f);
    speedLines(cv, {128, 128}, 96, 126, 16, withAlpha(pal::orange, 0.9f), 5);
    drawSticker(cv, burst, Sticker{pal::sun, pal::orange, 5, 1});
    drawSticker(cv, star({128, 128}, 92, 62, 12, 23, 0.15f),
                Sticker{pal::magenta, darker(pal::magenta), 0, 0.8f});
    TextStyle style;
    style.top = pal::bone;
    style.bottom = pal::sun;
    style.outline = 6;
    style.shadow = {5, 5};
    style.slant = 0.2f;
    drawText(cv, "POW!", {126, 128}, 62, style, 196);
}

void paintScissors(Canvas& cv) {
    // Open scissors pointing right, the way they fly.
    const Sticker steel{pal::bone, mix(pal::bone, pal::cyan, 0.55f), 4, 1};
    const Sticker grip{mix(pal::magenta, pal::bone, 0.25f), darker(pal::magenta), 4, 1};
    const Vec2 pivot = {126, 128};
    for (int side = -1; side <= 1; side += 2) {
        const float a = side * 17.0f;
        auto at = [&](float x, float y) { return pivot + rotate({x, y * side}, a); };
        drawSticker(cv, polygon({at(-10, -10), at(128, -2), at(118, 12), at(-10, 20)}), steel);
        drawSticker(cv, capsule(at(-10, 6), at(-50, 26), 12), grip);
        drawSticker(cv, subtract(ellipse(at(-76, 40), 34, 26, a), ellipse(at(-76, 40), 19, 12, a)),
                    grip);
    }
    drawSticker(cv, circle(pivot, 10), Sticker{pal::sun, pal::orange, 3, 1});
    fillShape(cv, capsule({pivot.x - 5, pivot.y}, {pivot.x + 5, pivot.y}, 1.5f), pal::ink);
    for (int i = 0; i < 3; ++i)
        fillShape(cv,
                  capsule({10.0f + i * 6, 60.0f + i * 70}, {48.0f + i * 6, 60.0f + i * 70}, 3, 1),
                  withAlpha(pal::cyan, 0.9f));
}

void paintDodge(Canvas& cv) {
    // A cyan swoosh with speed streaks behind the lettering.
    const Sdf swoosh = subtract(ellipse({132, 132}, 120, 78, -8), ellipse({156, 116}, 112, 70, -8));
    drawSticker(cv, swoosh, Sticker{pal::cyan, darker(pal::cyan), 4, 1});
    for (int i = 0; i < 5; ++i) {
        const float y = 70 + i * 28.0f;
        fillShape(cv, capsule({6, y}, {66.0f - (i % 2) * 20, y}, 4, 1),
                  withAlpha(pal::cyan, 0.85f));
    }
    TextStyle style;
    style.top = pal::bone;
    style.bottom = pal::cyan;
    style.outline = 6;
    style.shadow = {5, 5};
    style.slant = 0.28f;
    drawText(cv, "DODGE!", {134, 128}, 54, style, 244);
}

void paintWinner(Canvas& cv) {
    // A crown over a bannered "WINNER!", on a sunburst.
    speedLines(cv, {128, 118}, 50, 122, 20, withAlpha(pal::sun, 0.9f), 6);
    drawSticker(
        cv, polygon({{72, 104}, {60, 40}, {98, 72}, {128, 26}, {158, 72}, {196, 40}, {184, 104}}),
        Sticker{pal::sun, pal::orange, 5, 1});
    for (int i = 0; i < 3; ++i)
        drawSticker(cv, circle({92.0f + i * 36, 90}, 8),
                    Sticker{pal::magenta, darker(pal::magenta), 3, 1});
    const Sticker tail{darker(pal::magenta), shade(pal::magenta, 0.45f), 4, 0.6f};
    drawSticker(cv, polygon({{4, 128}, {40, 128}, {40, 186}, {4, 186}, {20, 157}}), tail);
    drawSticker(cv, polygon({{252, 128}, {216, 128}, {216, 186}, {252, 186}, {236, 157}}), tail);
    drawSticker(cv, roundBox({128, 146}, 108, 34, 14),
                Sticker{mix(pal::magenta, pal::bone, 0.3f), darker(pal::magenta), 5, 1});
    TextStyle style;
    style.top = pal::bone;
    style.bottom = pal::sun;
    style.outline = 5;
    style.shadow = {4, 4};
    drawText(cv, "WINNER!", {128, 146}, 42, style, 206);
    for (int i = 0; i < 3; ++i)
        drawSticker(cv, star({64.0f + i * 64, 214}, 16, 7, 5, 0),
                    Sticker{pal::sun, pal::orange, 3, 1});
}
