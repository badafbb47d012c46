// Shared monster parts, drawn as stickers.
#include "monster_parts.h"

#include <cmath>

#include "sdf.h"

void drawEye(Canvas& cv, Vec2 centre, float r, Vec2 look, bool angry, Color iris) {
    drawSticker(cv, ellipse(centre, r * 0.85f, r),
                Sticker{pal::bone, mix(pal::bone, pal::cyan, 0.15f), 2.5f, 0.3f});
    const Vec2 pupil = {centre.x + look.x * r * 0.32f, centre.y + look.y * r * 0.32f};
    fillShape(cv, ellipse(pupil, r * 0.45f, r * 0.55f), iris);
    if (iris.r + iris.g + iris.b > 0.5f) fillShape(cv, circle(pupil, r * 0.25f), pal::ink);
    fillShape(cv, circle({pupil.x - r * 0.18f, pupil.y - r * 0.22f}, r * 0.16f), pal::bone);
    if (angry) {
        const Vec2 a = {centre.x - r * 1.05f, centre.y - r * 0.55f};
        const Vec2 b = {centre.x + r * 0.95f, centre.y - r * 1.25f};
        fillShape(cv, capsule(a, b, r * 0.18f, r * 0.26f), pal::ink);
        // The brow hides the top of the eye, the glare of a fighter.
        fillShape(cv,
                  intersect(ellipse(centre, r * 0.85f + 1, r + 1),
                            [=](Vec2 p) {
                                const Vec2 n = {b.y - a.y, a.x - b.x};
                                const float len = length(n);
                                return -dot(p - a, n) / len;
                            }),
                  pal::ink);
    }
}

void drawClaw(Canvas& cv, Vec2 base, float degrees, float length, float width, Color colour) {
    // A crescent: a disc minus a shifted disc, clipped to one side.
    const Vec2 dir = rotate({0, -1}, degrees);
    const Vec2 side = rotate({1, 0}, degrees);
    const Vec2 tip = base + dir * length + side * (length * 0.25f);
    const Vec2 b0 = base - side * (width * 0.5f), b1 = base + side * (width * 0.5f);
    const Vec2 mid = base + dir * (length * 0.55f) + side * (width * 0.05f);
    drawSticker(cv,
                polygon({b0, mid - side * (width * 0.32f), tip, mid + side * (width * 0.28f), b1}),
                Sticker{colour, shade(colour, 0.8f), 2.5f, 0.6f});
}

void drawStitches(Canvas& cv, Vec2 a, Vec2 b, int count, float size) {
    const Vec2 along = b - a;
    const Vec2 across = Vec2{-along.y, along.x} * (size / length(along));
    fillShape(cv, capsule(a, b, size * 0.12f), pal::ink);
    for (int i = 0; i < count; ++i) {
        const Vec2 c = a + along * ((i + 0.5f) / count);
        fillShape(cv, capsule(c - across, c + across, size * 0.16f), pal::ink);
    }
}

void drawSpark(Canvas& cv, Vec2 centre, float size, float degrees, Color colour) {
    auto at = [&](float x, float y) { return centre + rotate({x * size, y * size}, degrees); };
    drawSticker(cv,
                polygon({at(-0.15f, -1), at(0.35f, -1), at(0.1f, -0.2f), at(0.45f, -0.2f),
                         at(-0.2f, 1), at(0, 0.15f), at(-0.4f, 0.15f)}),
                Sticker{mix(colour, pal::bone, 0.4f), colour, 2, 0.5f});
}
