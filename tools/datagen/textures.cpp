// Textures: the tunnel's blue energy tiles, the room's wall panels, the ball
// textures, the diamond overlay, the full-window background and the monster
// ball laid out for a sphere. The tiling ones are periodic by construction:
// every pattern repeats a whole number of times across the 256 design units.
#include <cmath>

#include "picture_recipes.h"
#include "sdf.h"

namespace {

// Distance to the nearest line of a grid with `cell` units between lines.
float gridDistance(float v, float cell) {
    const float f = v / cell - std::floor(v / cell);
    return std::min(f, 1 - f) * cell;
}

} // namespace

void paintBlueTiles(Canvas& cv) {
    // Energy cells: cloudy night-to-cyan noise, glowing seams every 32 units,
    // brighter nodes where seams cross, a finer circuit grid between them.
    fillWithSupersampled(cv, [](Vec2 p) {
        const float n = fbm(p.x / 32, p.y / 32, 8, 4, 7);
        Color c = mix(pal::night, mix(pal::night, pal::cyan, 0.45f), n * n * 1.6f);
        const float seam = std::min(gridDistance(p.x, 32), gridDistance(p.y, 32));
        c = mix(c, pal::cyan, 0.9f * (1 - smoothstep(0.4f, 2.2f, seam)));
        const float fine = std::min(gridDistance(p.x + 16, 32), gridDistance(p.y + 16, 32));
        c = mix(c, mix(pal::night, pal::cyan, 0.5f), 0.5f * (1 - smoothstep(0.2f, 0.9f, fine)));
        const float node = length({gridDistance(p.x, 32), gridDistance(p.y, 32)});
        return mix(c, pal::bone, 1 - smoothstep(1.5f, 4.0f, node));
    });
}

void paintWall(Canvas& cv) {
    // Wall panels, two by two: bevelled night-blue plates, cyan seams,
    // a magenta rivet in each corner.
    fillWithSupersampled(cv, [](Vec2 p) {
        const float u = p.x - std::floor(p.x / 128) * 128, v = p.y - std::floor(p.y / 128) * 128;
        const float plate = roundBox({64, 64}, 58, 58, 8)({u, v});
        const float grain = fbm(p.x / 16, p.y / 16, 16, 3, 13);
        Color c = mix(mix(pal::night, pal::cyan, 0.22f), pal::night,
                      clamp01(v / 128 * 0.8f + 0.2f * grain));
        c = mix(c, mix(pal::night, pal::cyan, 0.45f),
                smoothstep(-4, -1, plate) * (u + v < 128 ? 1.0f : 0.3f));
        c = mix(c, pal::cyan, 1 - smoothstep(0.5f, 2.5f, std::fabs(plate - 3)));
        c = mix(c, pal::ink, smoothstep(-1, 1, plate) * 0.85f);
        for (int k = 0; k < 4; ++k) {
            const Vec2 rivet = {k % 2 ? 112.0f : 16.0f, k / 2 ? 112.0f : 16.0f};
            const float d = length(Vec2{u, v} - rivet);
            c = mix(c,
                    mix(pal::magenta, pal::bone, clamp01(0.6f - (u - rivet.x + v - rivet.y) / 8)),
                    1 - smoothstep(3.5f, 5, d));
        }
        return c;
    });
}

void paintBallTexture(Canvas& cv) {
    // Bands of the palette with a row of stars on each; repeats every 64 units
    // down and every 32 across.
    fillWithSupersampled(cv, [](Vec2 p) {
        const Color bands[4] = {pal::magenta, pal::sun, pal::cyan, pal::night};
        const int band = static_cast<int>(std::floor(p.y / 64)) & 3;
        const float v = p.y - std::floor(p.y / 64) * 64;
        Color c = mix(mix(bands[band], pal::bone, 0.2f), shade(bands[band], 0.75f), v / 64);
        const float edge = std::min(v, 64 - v);
        c = mix(pal::ink, c, smoothstep(1.0f, 2.5f, edge));
        const float u = p.x - std::floor(p.x / 32) * 32;
        const Sdf starShape = star({16, 32}, 11, 4.5f, 5, 0);
        const float d = starShape({u, v});
        const Color starColour = band == 1 ? pal::orange : pal::bone;
        return mix(c, starColour, 1 - smoothstep(-0.5f, 0.5f, d));
    });
}

void paintDiamondOverlay(Canvas& cv) {
    // A lattice of diamonds: cyan lines, a bone dot at every crossing, clear
    // in between. Eight diamonds across, so it tiles.
    fillWithSupersampled(cv, [](Vec2 p) {
        const float a = (p.x + p.y) / std::sqrt(2.0f), b = (p.x - p.y) / std::sqrt(2.0f);
        const float cell = 32 / std::sqrt(2.0f);
        const float line = std::min(gridDistance(a, cell), gridDistance(b, cell));
        Color c = withAlpha(pal::cyan, 0.75f * (1 - smoothstep(0.8f, 2.0f, line)));
        const float dot = length({gridDistance(p.x, 32), gridDistance(p.y, 32)});
        const float dotCover = 1 - smoothstep(2.5f, 4.0f, dot);
        if (dotCover > 0) c = mix(c, withAlpha(pal::bone, 0.95f), dotCover);
        return c;
    });
}

void paintBackground(Canvas& cv) {
    // The arena behind the battle and the credits: a deep sky fading to a
    // magenta horizon, soft rays, a perspective floor with cyan lines. It is
    // stretched to 4:3, so nothing here relies on circles staying round.
    const float horizon = 150;
    fillWithSupersampled(cv, [&](Vec2 p) {
        if (p.y < horizon) {
            const float t = p.y / horizon;
            const float a = std::atan2(p.y - horizon, p.x - 128);
            const float ray = 0.5f + 0.5f * std::cos(a * 14);
            Color c = mix(pal::ink, mix(pal::night, pal::magenta, 0.45f), t * t);
            return mix(c, mix(c, pal::magenta, 0.25f), ray * t);
        }
        const float depth = 30 / (p.y - horizon + 3);
        const float u = (p.x - 128) * depth / 10, v = depth * 8;
        const float lineU = std::fabs(u - std::round(u)) / std::max(depth * 0.8f, 0.05f);
        const float lineV = std::fabs(v - std::round(v)) / std::max(depth * 0.8f, 0.05f);
        const float grid = 1 - smoothstep(0.02f, 0.08f, std::min(lineU, lineV) * 0.1f);
        const float fade = clamp01((p.y - horizon) / 100);
        Color c = mix(mix(pal::night, pal::magenta, 0.3f), pal::night, fade);
        return mix(c, pal::cyan, grid * (0.3f + 0.5f * fade));
    });
    fillShape(cv, capsule({0, horizon}, {256, horizon}, 0.8f), withAlpha(pal::bone, 0.8f));
}

void paintMonsterBall(Canvas& cv) {
    // Laid out for a sphere's texture coordinates: columns run around the
    // ball, rows from pole to pole, the middle row is the equator. The top
    // half is the red cap, the bottom half white, an ink band at the
    // equator, and a button on each side of it. A round button on the
    // sphere is twice as tall as it is wide in this layout.
    const Color red = mix(pal::magenta, pal::orange, 0.3f);
    fillWith(cv, [&](Vec2 p) {
        const float t = p.y / 256;
        const Color top = mix(mix(red, pal::bone, 0.2f), red, clamp01(t * 2));
        const Color bottom = mix(pal::bone, mix(pal::bone, pal::cyan, 0.15f), clamp01(t * 2 - 1));
        Color c = t < 0.5f ? top : bottom;
        const float band = std::fabs(p.y - 128);
        c = mix(pal::ink, c, smoothstep(6.0f, 7.5f, band));
        return c;
    });
    for (int side = 0; side < 2; ++side) {
        const Vec2 at = {side ? 192.0f : 64.0f, 128};
        fillShape(cv, ellipse(at, 16, 32), pal::ink);
        fillShape(cv, ellipse(at, 10.5f, 21), pal::bone);
        fillShape(cv, ring(ellipse(at, 6.5f, 13), 1),
                  withAlpha(mix(pal::bone, pal::cyan, 0.5f), 1));
    }
}
