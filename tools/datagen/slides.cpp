// The full-bleed slides of the intro, and the additive pair of the gliding
// overlay: an isometric scene with an empty pad and the gem that settles on it.
#include <cmath>

#include "picture_recipes.h"
#include "sdf.h"
#include "text.h"

namespace {

// Stars scattered by a fixed hash: one candidate per 16-unit cell, none
// closer than `margin` to the picture's edges.
void starField(Canvas& cv, float maxY, float margin, uint32_t seed) {
    for (int cy = 0; cy < 16; ++cy)
        for (int cx = 0; cx < 16; ++cx) {
            if (hash2(cx, cy, seed) < 0.35f) continue;
            const Vec2 c = {cx * 16 + 16 * hash2(cx, cy, seed + 1),
                            cy * 16 + 16 * hash2(cx, cy, seed + 2)};
            if (c.y > maxY || c.x < margin || c.y < margin || c.x > 256 - margin) continue;
            const float b = hash2(cx, cy, seed + 3);
            const Color tint = b > 0.8f ? pal::cyan : (b < 0.15f ? pal::sun : pal::bone);
            fillShape(cv, circle(c, 0.5f + 1.2f * b), withAlpha(tint, 0.5f + 0.5f * b), true);
            if (b > 0.9f) {
                fillShape(cv, capsule({c.x - 6, c.y}, {c.x + 6, c.y}, 0.5f, 0.5f),
                          withAlpha(tint, 0.7f), true);
                fillShape(cv, capsule({c.x, c.y - 6}, {c.x, c.y + 6}, 0.5f, 0.5f),
                          withAlpha(tint, 0.7f), true);
            }
        }
}

} // namespace

void paintPresents(Canvas& cv) {
    // A night sky over a dark skyline, the makers' name, "presents".
    fillWith(cv, [](Vec2 p) {
        const float t = clamp01(p.y / 200);
        return t < 0.7f ? mix(pal::ink, pal::night, t / 0.7f)
                        : mix(pal::night, mix(pal::night, pal::magenta, 0.55f), (t - 0.7f) / 0.3f);
    });
    starField(cv, 170, 0, 11);
    fillShape(cv, circle({196, 58}, 22),
              [](Vec2 p) { return mix(pal::bone, pal::sun, clamp01((p.y - 36) / 44)); });
    fillShape(cv, circle({206, 52}, 20), mix(pal::ink, pal::night, 0.6f));
    // Skyline of blocks with lit windows.
    for (int i = 0; i < 12; ++i) {
        const float x = i * 22.0f + 4, h = 30 + 40 * hash2(i, 0, 5);
        fillShape(cv, roundBox({x + 10, 256 - h / 2}, 11, h / 2, 2), pal::ink);
        for (int w = 0; w < 6; ++w)
            if (hash2(i, w, 6) > 0.55f && w * 10 + 10 < h)
                fillShape(cv,
                          roundBox({x + 6 + 8 * (w % 2), 256 - h + 8 + w * 10.0f}, 2, 2.5f, 0.5f),
                          withAlpha(w % 3 ? pal::sun : pal::cyan, 0.9f));
    }
    TextStyle word;
    word.top = pal::bone;
    word.bottom = pal::magenta;
    word.outline = 4;
    word.tracking = 2;
    drawText(cv, "VORMAK", {128, 104}, 40, word, 220);
    TextStyle small;
    small.top = pal::bone;
    small.bottom = pal::cyan;
    small.outline = 2.5f;
    small.shadow = {2, 2};
    small.tracking = 6;
    drawText(cv, "PRESENTS", {128, 146}, 15, small, 200);
}

void paintTitle(Canvas& cv) {
    // Sun rays behind, the two rivals as glowing silhouettes, the title above.
    fillWithSupersampled(cv, [](Vec2 p) {
        const float dx = p.x - 128, dy = p.y - 150;
        const float a = std::atan2(dy, dx);
        const float ray = 0.5f + 0.5f * std::cos(a * 16);
        const float r = clamp01(std::sqrt(dx * dx + dy * dy) / 190);
        const Color core = mix(pal::magenta, pal::night, r);
        return mix(core, mix(core, pal::night, 0.55f), ray);
    });
    Canvas monster(cv.size), glow(cv.size);
    for (int side = 0; side < 2; ++side) {
        Canvas one(cv.size);
        if (side == 0)
            paintClawomon(one);
        else
            paintCorvumon(one);
        // Silhouette: the monster's own coverage in ink.
        for (size_t i = 0; i < one.px.size(); i += 4) {
            const float a = one.px[i + 3];
            one.px[i] = pal::ink.r * a, one.px[i + 1] = pal::ink.g * a,
            one.px[i + 2] = pal::ink.b * a;
        }
        // Claw stands on the left facing its rival, mirrored; corv faces left already.
        stampHalf(monster, one, side == 0 ? 0 : cv.size / 2, cv.size / 2 - cv.size / 32, side == 0);
    }
    glow = monster;
    for (size_t i = 0; i < glow.px.size(); i += 4) {
        const Color rim =
            (i / 4) % cv.size < static_cast<size_t>(cv.size / 2) ? pal::orange : pal::cyan;
        const float a = glow.px[i + 3];
        glow.px[i] = rim.r * a, glow.px[i + 1] = rim.g * a, glow.px[i + 2] = rim.b * a;
    }
    blur(glow, 6 * cv.scale);
    addInto(cv, glow, 1.6f);
    over(cv, monster);
    TextStyle title;
    title.top = pal::sun;
    title.bottom = pal::orange;
    title.outline = 6;
    title.shadow = {5, 5};
    drawText(cv, "QUARNEL", {128, 66}, 48, title, 240);
    fillShape(cv, capsule({48, 104}, {208, 104}, 2.5f), pal::cyan);
}

void paintDisco(Canvas& cv) {
    // A dance floor in perspective, a mirror ball, beams of light.
    const float horizon = 150;
    fillWithSupersampled(cv, [&](Vec2 p) {
        if (p.y < horizon) return mix(pal::ink, pal::night, p.y / horizon);
        const float depth = 40 / (p.y - horizon + 4);
        const float u = (p.x - 128) * depth / 12 + 0.5f, v = depth * 6;
        const int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
        const Color tiles[4] = {pal::magenta, pal::cyan, pal::sun, pal::leaf};
        const Color tile = tiles[static_cast<int>(hash2(iu, iv, 21) * 4) % 4];
        const float lit = hash2(iu, iv, 22) > 0.45f ? 1.0f : 0.35f;
        const float fu = std::fabs(u - std::round(u)), fv = std::fabs(v - std::round(v));
        const float grout = smoothstep(0.02f, 0.06f, std::min(fu, fv / std::max(1.0f, depth)));
        const float fog = clamp01((p.y - horizon) / 90);
        return mix(pal::ink, shade(tile, lit * (0.35f + 0.65f * fog)), grout);
    });
    Canvas beams(cv.size);
    const Color beamColours[5] = {pal::magenta, pal::cyan, pal::sun, pal::leaf, pal::magenta};
    for (int i = 0; i < 5; ++i) {
        const float x = 20 + i * 54.0f;
        fillShape(beams, polygon({{126, 56}, {130, 56}, {x + 20, 250}, {x - 20, 250}}),
                  withAlpha(beamColours[i], 0.35f));
    }
    blur(beams, 4 * cv.scale);
    addInto(cv, beams);
    fillShape(cv, capsule({128, 0}, {128, 24}, 1), pal::bone);
    // The mirror ball: facets in a curved grid, light upper left.
    const Vec2 ball = {128, 56};
    fillShape(cv, circle(ball, 34), [&](Vec2 p) {
        const float dx = (p.x - ball.x) / 34, dy = (p.y - ball.y) / 34;
        const float z = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
        const float lon = std::atan2(dx, z) * 6,
                    lat = std::asin(clamp01(dy * 0.5f + 0.5f) * 2 - 1) * 6;
        const int iu = static_cast<int>(std::floor(lon)), iv = static_cast<int>(std::floor(lat));
        const float light =
            clamp01(0.5f - 0.5f * dx - 0.5f * dy) * 0.8f + 0.25f * hash2(iu, iv, 31);
        const float seam = smoothstep(
            0.04f, 0.12f,
            std::min(std::fabs(lon - std::round(lon)), std::fabs(lat - std::round(lat))));
        return mix(pal::ink, mix(mix(pal::night, pal::cyan, light), pal::bone, light * light),
                   seam * z + (1 - z) * 0.3f);
    });
    fillShape(cv, ring(circle(ball, 34), 1.5f), pal::ink);
    for (int i = 0; i < 6; ++i) {
        const Vec2 c = {40 + 36.0f * i, 20 + 30 * hash2(i, 1, 41)};
        fillShape(cv, star(c, 6, 1.5f, 4, 0), withAlpha(pal::bone, 0.9f), true);
    }
    TextStyle style;
    style.top = pal::bone;
    style.bottom = pal::magenta;
    style.outline = 4;
    style.slant = 0.15f;
    drawText(cv, "DISCO BATTLE", {128, 122}, 24, style, 232);
}

void paintIsoScene(Canvas& cv) {
    // Additive on black: a neon isometric floor, two towers, and an empty pad
    // where the gem comes to rest (58 % across, 76 % down, a 43 % square).
    fillAll(cv, pal::black);
    const Vec2 centre = {128, 150};
    auto iso = [&](float gx, float gy, float h) {
        return Vec2{centre.x + (gx - gy) * 14, centre.y + (gx + gy) * 7 - h};
    };
    for (int i = -6; i <= 6; ++i) {
        fillShape(cv, capsule(iso(i, -6, 0), iso(i, 6, 0), 0.6f), withAlpha(pal::cyan, 0.55f),
                  true);
        fillShape(cv, capsule(iso(-6, i, 0), iso(6, i, 0), 0.6f), withAlpha(pal::cyan, 0.55f),
                  true);
    }
    fillShape(cv, ring(polygon({iso(-6, -6, 0), iso(6, -6, 0), iso(6, 6, 0), iso(-6, 6, 0)}), 1.2f),
              pal::cyan, true);
    // Towers: wireframe blocks in magenta and sun.
    auto block = [&](float gx, float gy, float h, Color c) {
        const Vec2 b[4] = {iso(gx, gy, 0), iso(gx + 2, gy, 0), iso(gx + 2, gy + 2, 0),
                           iso(gx, gy + 2, 0)};
        const Vec2 t[4] = {iso(gx, gy, h), iso(gx + 2, gy, h), iso(gx + 2, gy + 2, h),
                           iso(gx, gy + 2, h)};
        fillShape(cv, polygon({t[0], t[1], t[2], t[3]}), withAlpha(c, 0.25f), true);
        for (int k = 0; k < 4; ++k) {
            fillShape(cv, capsule(t[k], t[(k + 1) % 4], 1), c, true);
            if (k != 0) fillShape(cv, capsule(b[k], t[k], 1), c, true);
            if (k == 1 || k == 2) fillShape(cv, capsule(b[k], b[(k + 1) % 4], 1), c, true);
        }
        fillShape(cv, capsule(b[3], b[0], 1), c, true);
    };
    block(-5, -3, 70, pal::magenta);
    block(-2, -6, 40, pal::sun);
    block(3, -5, 90, pal::magenta);
    block(-6, 2, 30, pal::orange);
    // The empty pad: rings on the floor around (148, 194) in design units.
    const Vec2 pad = {148.5f, 194.5f};
    for (int k = 0; k < 3; ++k)
        fillShape(cv, ring(ellipse(pad, 42.0f - k * 12, 21.0f - k * 6), 1.2f),
                  k == 0 ? pal::sun : pal::orange, true);
    starField(cv, 60, 28, 51);
    addGlow(cv, 0.7f, 0.6f);
}

void paintGem(Canvas& cv) {
    // Additive on black: a faceted gem, its facets lit from the upper left.
    fillAll(cv, pal::black);
    // The gem hovers with its tip over the middle of the square, where the
    // pad lies when the overlay has come to rest.
    const Vec2 c = {128, 86};
    const Vec2 crown[6] = {{c.x - 62, c.y - 8}, {c.x - 36, c.y - 46}, {c.x + 36, c.y - 46},
                           {c.x + 62, c.y - 8}, {c.x, c.y + 70},      {c.x, c.y - 8}};
    const Color facets[4] = {pal::cyan, mix(pal::cyan, pal::night, 0.5f), pal::magenta,
                             mix(pal::magenta, pal::night, 0.4f)};
    fillShape(cv, polygon({crown[0], crown[1], crown[5]}), facets[0], true);
    fillShape(cv, polygon({crown[1], crown[2], crown[5]}), mix(pal::cyan, pal::bone, 0.5f), true);
    fillShape(cv, polygon({crown[2], crown[3], crown[5]}), facets[1], true);
    fillShape(cv, polygon({crown[0], crown[5], crown[4]}), facets[2], true);
    fillShape(cv, polygon({crown[5], crown[3], crown[4]}), facets[3], true);
    const Sdf whole = polygon({crown[0], crown[1], crown[2], crown[3], crown[4]});
    fillShape(cv, ring(whole, 1.5f), pal::bone, true);
    fillShape(cv, capsule(crown[0], crown[3], 1), withAlpha(pal::bone, 0.7f), true);
    fillShape(cv, star({c.x - 30, c.y - 30}, 14, 3, 4, 0), pal::bone, true);
    addGlow(cv, 0.6f, 0.5f);
}
