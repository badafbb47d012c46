// The monsters that no scene shows, made to the same standard: the cuckoo,
// the boar, the mole, the cactus, the phantom and the four-legged block.
#include <cmath>

#include "monster_parts.h"
#include "picture_recipes.h"
#include "sdf.h"

namespace {
Color darker(Color c) {
    return shade(c, 0.72f);
}
Sticker skin(Color c) {
    return Sticker{mix(c, pal::bone, 0.22f), darker(c), 4, 1};
}
} // namespace

void paintKukukkmon(Canvas& cv) {
    // A cuckoo bursting from its clock: sunflower feathers, orange beak.
    const Sticker wood{mix(pal::orange, pal::ink, 0.35f), mix(pal::orange, pal::ink, 0.6f), 4, 1};
    drawSticker(
        cv, polygon({{128, 12}, {236, 90}, {220, 90}, {220, 240}, {36, 240}, {36, 90}, {20, 90}}),
        wood);
    drawSticker(cv, circle({128, 150}, 64), Sticker{pal::night, pal::ink, 4, 0.4f});
    for (int i = 0; i < 12; ++i)
        fillShape(cv, circle(Vec2{128, 150} + rotate({0, -54}, i * 30.0f), 3), pal::sun);
    for (int i = 0; i < 3; ++i)
        drawClaw(cv, {150.0f + i * 10, 110}, 30.0f + i * 20, 30, 12, pal::orange);
    drawSticker(cv, ellipse({132, 150}, 48, 44), skin(pal::sun));
    drawSticker(cv, ellipse({150, 158}, 30, 20, 20), skin(pal::orange));
    drawSticker(cv, polygon({{96, 128}, {40, 146}, {98, 158}}),
                Sticker{pal::orange, darker(pal::orange), 3.5f, 1});
    drawEye(cv, {112, 130}, 12, {-0.9f, 0});
    fillShape(cv, capsule({96, 112}, {124, 110}, 2.5f), pal::ink);
}

void paintBurkamon(Canvas& cv) {
    // A gruff boar with a crest of magenta quills and two bone tusks.
    for (int i = 0; i < 9; ++i)
        drawClaw(cv, Vec2{150, 140} + rotate({0, -50}, -70.0f + i * 20), -70.0f + i * 20, 44, 22,
                 i % 2 ? pal::magenta : darker(pal::magenta));
    drawSticker(cv, ellipse({212, 210}, 18, 20), skin(darker(pal::magenta)));
    drawSticker(cv, ellipse({150, 160}, 72, 56), skin(pal::magenta));
    drawSticker(cv, ellipse({106, 212}, 18, 22), skin(pal::magenta));
    drawSticker(cv, ellipse({176, 216}, 18, 20), skin(pal::magenta));
    drawSticker(cv, blend(ellipse({92, 140}, 44, 38), roundBox({44, 156}, 22, 18, 12), 12),
                skin(pal::magenta));
    drawSticker(cv, roundBox({28, 156}, 10, 16, 8),
                Sticker{mix(pal::magenta, pal::bone, 0.5f), pal::magenta, 3, 0.8f});
    fillShape(cv, ellipse({26, 150}, 2.5f, 4), pal::ink);
    fillShape(cv, ellipse({26, 164}, 2.5f, 4), pal::ink);
    drawClaw(cv, {54, 172}, -40, 30, 12);
    drawClaw(cv, {76, 174}, -30, 26, 11);
    drawEye(cv, {84, 128}, 11, {-0.9f, 0.1f}, true, pal::sun);
    drawSticker(cv, ellipse({118, 104}, 12, 20, 30), skin(darker(pal::magenta)));
}

void paintJobbermole(Canvas& cv) {
    // A mole in a miner's helmet with a lamp, digging claws up front.
    const Color fur = mix(pal::night, pal::magenta, 0.3f);
    drawSticker(
        cv, ellipse({168, 222}, 60, 14),
        Sticker{mix(pal::orange, pal::ink, 0.4f), mix(pal::orange, pal::ink, 0.6f), 3, 0.5f});
    drawSticker(cv, ellipse({150, 160}, 66, 64), skin(fur));
    drawSticker(
        cv, ellipse({132, 176}, 38, 44),
        Sticker{mix(pal::bone, pal::magenta, 0.25f), mix(pal::bone, pal::magenta, 0.5f), 3, 0.7f});
    drawSticker(cv, ellipse({88, 136}, 54, 44), skin(fur));
    drawSticker(cv, subtract(ellipse({104, 100}, 58, 44), roundBox({104, 160}, 80, 50, 0)),
                skin(pal::sun));
    drawSticker(cv, roundBox({102, 102}, 62, 6, 6), skin(pal::orange));
    drawSticker(cv, circle({66, 76}, 15), Sticker{pal::bone, pal::sun, 3.5f, 1});
    drawSticker(cv, circle({40, 140}, 14), Sticker{pal::magenta, darker(pal::magenta), 3.5f, 1});
    drawEye(cv, {84, 122}, 8, {-0.9f, 0.2f});
    fillShape(cv, subtract(ellipse({68, 160}, 12, 7), ellipse({68, 155}, 13, 6)), pal::ink);
    drawSticker(
        cv, ellipse({70, 196}, 24, 18, -20),
        Sticker{mix(pal::bone, pal::magenta, 0.3f), mix(pal::bone, pal::magenta, 0.55f), 4, 1});
    for (int i = 0; i < 4; ++i)
        drawClaw(cv, {50.0f + i * 4, 186.0f + i * 8}, -100.0f - i * 12, 24, 9);
}

void paintMexico(Canvas& cv) {
    // A cactus in a sombrero, arms raised, in a clay pot.
    const Sticker green = skin(pal::leaf);
    drawSticker(cv, unite(capsule({70, 150}, {40, 150}, 14), capsule({40, 150}, {40, 104}, 14)),
                green);
    drawSticker(cv, unite(capsule({180, 130}, {214, 130}, 14), capsule({214, 130}, {214, 84}, 14)),
                green);
    drawSticker(cv, roundBox({124, 140}, 46, 74, 40), green);
    for (int i = 0; i < 3; ++i)
        fillShape(cv, capsule({104.0f + i * 20, 90}, {104.0f + i * 20, 200}, 1.6f),
                  withAlpha(darker(pal::leaf), 0.8f));
    for (int i = 0; i < 8; ++i)
        drawClaw(cv, {84.0f + (i % 2) * 84, 100.0f + i * 12}, i % 2 ? 70.0f : -70.0f, 10, 4);
    drawSticker(cv, polygon({{80, 200}, {170, 200}, {160, 248}, {90, 248}}), skin(pal::orange));
    drawSticker(cv, roundBox({125, 202}, 52, 8, 6), skin(pal::orange));
    drawSticker(cv, ellipse({124, 64}, 92, 16), skin(pal::sun));
    drawSticker(cv, ellipse({124, 44}, 34, 30), skin(pal::sun));
    drawSticker(cv, roundBox({124, 60}, 34, 5, 4),
                Sticker{pal::magenta, darker(pal::magenta), 2.5f, 0.6f});
    drawEye(cv, {100, 104}, 10, {-0.9f, 0.1f});
    drawEye(cv, {134, 104}, 10, {-0.9f, 0.1f});
    fillShape(cv, subtract(ellipse({112, 132}, 16, 10), ellipse({112, 124}, 18, 9)), pal::ink);
}

void paintPhantomon(Canvas& cv) {
    // A phantom: a sheet with a wavy hem, hollow eyes and a magenta glow.
    Canvas glow(cv.size);
    const Sdf sheet = unite(blend(circle({132, 96}, 70), roundBox({136, 160}, 72, 70, 30), 20),
                            capsule({74, 150}, {26, 120}, 16, 10));
    const Sdf hem = [](Vec2 p) { return (p.y - 214) - 12 * std::sin(p.x * 0.1f); };
    const Sdf body = subtract(sheet, [hem](Vec2 p) { return -hem(p); });
    fillShape(glow, grow(body, 8), withAlpha(pal::magenta, 0.8f));
    blur(glow, 14 * cv.scale);
    over(cv, glow);
    drawSticker(cv, body, Sticker{pal::bone, mix(pal::bone, pal::magenta, 0.45f), 4, 1});
    drawSticker(cv, ellipse({92, 92}, 14, 20, -10), Sticker{pal::ink, pal::night, 0, 0});
    drawSticker(cv, ellipse({136, 88}, 14, 20, -10), Sticker{pal::ink, pal::night, 0, 0});
    fillShape(cv, circle({90, 94}, 5), pal::cyan);
    fillShape(cv, circle({134, 90}, 5), pal::cyan);
    drawSticker(cv, ellipse({104, 138}, 16, 22), Sticker{pal::night, pal::ink, 3, 0.3f});
}

void paintQuadromon(Canvas& cv) {
    // A four-legged block creature: a cube body, a cube head, cyan seams.
    const Sticker block{mix(pal::cyan, pal::bone, 0.3f), mix(pal::cyan, pal::night, 0.45f), 4, 1};
    const Sticker side{mix(pal::cyan, pal::night, 0.45f), mix(pal::cyan, pal::night, 0.7f), 4,
                       0.6f};
    for (int i = 0; i < 2; ++i) {
        drawSticker(cv, roundBox({104.0f + i * 96, 214}, 14, 24, 4), side);
        drawSticker(cv, roundBox({84.0f + i * 96, 220}, 14, 24, 4), block);
    }
    drawSticker(cv, polygon({{90, 110}, {210, 110}, {236, 90}, {236, 180}, {210, 200}}), side);
    drawSticker(cv, roundBox({150, 155}, 62, 46, 8), block);
    drawStitches(cv, {96, 130}, {204, 130}, 1, 2);
    drawSticker(cv, polygon({{40, 54}, {100, 54}, {116, 40}, {116, 100}, {100, 114}}), side);
    drawSticker(cv, roundBox({70, 86}, 42, 34, 6), block);
    drawSticker(cv, roundBox({40, 96}, 10, 16, 3),
                Sticker{pal::magenta, darker(pal::magenta), 2.5f, 0.5f});
    drawEye(cv, {64, 76}, 10, {-0.9f, 0}, true);
    drawEye(cv, {94, 76}, 9, {-0.9f, 0}, true);
    for (int i = 0; i < 3; ++i)
        drawSpark(cv, {186.0f - i * 40, 146}, 10, 0, pal::sun);
}
