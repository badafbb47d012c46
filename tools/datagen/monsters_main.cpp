// The five monsters the scenes show, each facing left on a transparent square:
// the clawed beast, the crow, the crocodile, the teddy bear and the electric
// creature. Parts are painted back to front, each a sticker with its outline.
#include <cmath>

#include "monster_parts.h"
#include "picture_recipes.h"
#include "sdf.h"

namespace {
Color darker(Color c) {
    return shade(c, 0.72f);
}
Color lighter(Color c, float k = 0.3f) {
    return mix(c, pal::bone, k);
}
Sticker skin(Color c) {
    return Sticker{lighter(c, 0.22f), darker(c), 4, 1};
}
} // namespace

void paintClawomon(Canvas& cv) {
    const Color fur = pal::orange;
    // Tail with a flame tip, behind everything.
    drawSticker(
        cv, unite(capsule({185, 200}, {222, 160}, 14, 10), capsule({222, 160}, {228, 112}, 10, 7)),
        skin(fur));
    drawSticker(cv, star({230, 98}, 26, 10, 5, -10, 0.3f), Sticker{pal::sun, pal::orange, 3.5f, 1});
    // Far leg and far arm, in shadow.
    drawSticker(cv, ellipse({185, 212}, 26, 22), skin(darker(fur)));
    drawSticker(cv, capsule({165, 140}, {150, 90}, 14, 12), skin(darker(fur)));
    for (int i = 0; i < 3; ++i)
        drawClaw(cv, {143.0f + i * 9, 82}, -20.0f + i * 18, 26, 9);
    // Body, belly and back spikes.
    for (int i = 0; i < 4; ++i)
        drawClaw(cv, {150.0f + i * 18, 118.0f + i * 8}, 30.0f + i * 15, 26, 16, pal::sun);
    drawSticker(cv, blend(ellipse({158, 165}, 60, 55), ellipse({120, 130}, 40, 40), 18), skin(fur));
    drawSticker(cv, ellipse({140, 180}, 36, 38),
                Sticker{pal::bone, lighter(pal::sun, 0.3f), 3, 0.8f});
    for (int i = 0; i < 3; ++i)
        fillShape(cv, capsule({122.0f, 162.0f + i * 14}, {156.0f, 164.0f + i * 14}, 1.6f),
                  withAlpha(darker(pal::sun), 0.7f));
    // Near leg with claws.
    drawSticker(cv, ellipse({128, 218}, 30, 22), skin(fur));
    for (int i = 0; i < 3; ++i)
        drawClaw(cv, {104.0f + i * 11, 232}, -75.0f + i * 8, 20, 9);
    // Head: a broad skull, horns, a jaw full of fangs.
    drawClaw(cv, {105, 62}, -40, 34, 18, pal::sun);
    drawClaw(cv, {128, 60}, -5, 30, 16, pal::sun);
    drawSticker(cv, blend(ellipse({98, 92}, 50, 40), ellipse({52, 104}, 32, 22), 16), skin(fur));
    drawSticker(cv, ellipse({60, 120}, 30, 12, 8), skin(darker(fur)));
    for (int i = 0; i < 4; ++i)
        drawClaw(cv, {36.0f + i * 11, 113.0f + i * 1.5f}, 180, 11, 7);
    fillShape(cv, circle({27, 96}, 3.5f), pal::ink);
    drawEye(cv, {88, 84}, 13, {-0.9f, 0.2f}, true);
    // The big claws: the near arm swings forward with three long talons.
    drawSticker(cv, capsule({142, 150}, {72, 168}, 17, 14), skin(fur));
    drawSticker(cv, circle({66, 168}, 19), skin(fur));
    drawClaw(cv, {58, 154}, -92, 50, 20);
    drawClaw(cv, {54, 170}, -115, 54, 20);
    drawClaw(cv, {60, 184}, -140, 46, 18);
}

void paintCorvumon(Canvas& cv) {
    const Color feather = mix(pal::night, pal::cyan, 0.18f);
    const Sticker dark{mix(pal::night, pal::cyan, 0.35f), pal::night, 4, 1};
    // Tail fan.
    for (int i = 0; i < 3; ++i) {
        const float a = -30.0f + i * 22;
        const Vec2 c = Vec2{176, 176} + rotate({46, 0}, a);
        drawSticker(cv, ellipse(c, 36, 12, a), Sticker{feather, pal::night, 4, 1});
        fillShape(cv,
                  intersect(grow(ellipse(c, 36, 12, a), -4), circle(c + rotate({30, 0}, a), 14)),
                  withAlpha(pal::cyan, 0.85f));
    }
    // Legs with talons.
    drawSticker(cv, capsule({130, 190}, {124, 228}, 5), skin(pal::sun));
    drawSticker(cv, capsule({162, 190}, {160, 228}, 5), skin(pal::sun));
    for (int i = 0; i < 3; ++i) {
        drawClaw(cv, {120.0f + i * 3, 228}, -110.0f + i * 40, 15, 6, pal::sun);
        drawClaw(cv, {156.0f + i * 3, 228}, -110.0f + i * 40, 15, 6, pal::sun);
    }
    // Body and chest.
    drawSticker(cv, ellipse({150, 148}, 58, 56, -15), dark);
    drawSticker(cv, ellipse({120, 160}, 30, 38, 10),
                Sticker{lighter(pal::cyan, 0.4f), pal::cyan, 3, 0.8f});
    for (int i = 0; i < 3; ++i)
        fillShape(
            cv,
            subtract(circle({112.0f, 146.0f + i * 15}, 7), circle({112.0f, 141.0f + i * 15}, 7)),
            withAlpha(pal::night, 0.7f));
    // Folded wing with cyan-edged feathers.
    for (int i = 4; i >= 0; --i) {
        const Vec2 c = {180.0f - i * 6, 150.0f + i * 11};
        drawSticker(cv, ellipse(c, 46, 13, 28 + i * 4),
                    Sticker{mix(feather, pal::cyan, 0.5f), feather, 3, 0.7f});
    }
    drawSticker(cv, ellipse({168, 132}, 42, 30, 20),
                Sticker{lighter(feather, 0.15f), pal::night, 4, 1});
    // Head, crest and the sharp beak.
    for (int i = 0; i < 3; ++i)
        drawClaw(cv, {108.0f + i * 12, 58}, 20.0f + i * 22, 30, 12, pal::cyan);
    drawSticker(cv, circle({106, 88}, 38), dark);
    drawSticker(cv, polygon({{78, 74}, {10, 98}, {80, 108}}),
                Sticker{pal::sun, pal::orange, 3.5f, 1});
    fillShape(cv, capsule({20, 97}, {78, 93}, 1.2f), pal::ink);
    drawSticker(cv, polygon({{80, 96}, {30, 102}, {80, 116}}),
                Sticker{pal::orange, darker(pal::orange), 3, 0.6f});
    drawEye(cv, {96, 80}, 12, {-0.9f, 0.1f}, true, pal::magenta);
}

void paintCrocomon(Canvas& cv) {
    // Drawn a little high: the long, low body would otherwise sit below centre.
    cv.origin = {0, -24};
    const Color scales = pal::leaf;
    const Sticker green = skin(scales);
    // Tail curling behind, with ridge spikes.
    for (int i = 0; i < 4; ++i)
        drawClaw(cv, {188.0f + i * 12, 168.0f - i * 14}, 20.0f + i * 8, 18 - i * 2, 12,
                 darker(scales));
    drawSticker(
        cv, unite(capsule({170, 185}, {222, 160}, 24, 14), capsule({222, 160}, {236, 110}, 14, 5)),
        green);
    // Far legs.
    drawSticker(cv, ellipse({195, 212}, 18, 20), skin(darker(scales)));
    drawSticker(cv, ellipse({92, 208}, 16, 18), skin(darker(scales)));
    // Back spikes, body and striped belly.
    for (int i = 0; i < 5; ++i)
        drawClaw(cv, {112.0f + i * 18, 128.0f - std::sin(i * 0.8f) * 4}, -10.0f + i * 10, 20, 14,
                 darker(scales));
    drawSticker(cv, ellipse({150, 170}, 62, 46), green);
    drawSticker(cv, intersect(ellipse({150, 170}, 62, 46), ellipse({138, 208}, 56, 30)),
                Sticker{pal::bone, pal::sun, 3, 0.6f});
    for (int i = 0; i < 4; ++i)
        fillShape(cv, capsule({110.0f + i * 22, 186}, {108.0f + i * 22, 212}, 1.5f),
                  withAlpha(darker(pal::sun), 0.8f));
    // Near legs with claws.
    drawSticker(cv, ellipse({120, 216}, 20, 20), green);
    drawSticker(cv, ellipse({176, 220}, 20, 18), green);
    for (int i = 0; i < 3; ++i) {
        drawClaw(cv, {106.0f + i * 9, 232}, -80, 12, 7);
        drawClaw(cv, {162.0f + i * 9, 234}, -80, 12, 7);
    }
    // The long jaw: lower jaw, teeth, upper jaw with nostril, eye bump.
    drawSticker(cv, roundBox({68, 146}, 52, 11, 10, -6), skin(darker(scales)));
    for (int i = 0; i < 7; ++i)
        drawClaw(cv, {24.0f + i * 13, 138.0f + i * 1.2f}, -6, 10, 7);
    for (int i = 0; i < 7; ++i)
        drawClaw(cv, {20.0f + i * 13, 128.0f - i * 1.2f}, 176, 11, 7);
    drawSticker(cv, blend(roundBox({66, 118}, 56, 14, 12, -6), ellipse({112, 116}, 30, 28), 14),
                green);
    drawSticker(cv, circle({18, 112}, 9), green);
    fillShape(cv, ellipse({16, 109}, 3, 2), pal::ink);
    drawSticker(cv, circle({104, 92}, 20), green);
    drawEye(cv, {102, 91}, 11, {-0.9f, 0.1f}, true, pal::sun);
    cv.origin = {0, 0};
}

void paintTeddymon(Canvas& cv) {
    const Color fur = pal::orange;
    const Sticker furry{lighter(fur, 0.25f), darker(fur), 4, 1};
    const Sticker patch{pal::bone, mix(pal::bone, pal::sun, 0.45f), 3.5f, 0.8f};
    // Far arm and leg.
    drawSticker(cv, ellipse({196, 160}, 20, 30, -25), skin(darker(fur)));
    drawSticker(cv, ellipse({180, 216}, 26, 22), skin(darker(fur)));
    // Body with a stitched belly patch.
    drawSticker(cv, ellipse({140, 172}, 58, 56), furry);
    drawSticker(cv, ellipse({132, 180}, 32, 34), patch);
    drawStitches(cv, {110, 154}, {152, 206}, 6, 5);
    // Near leg with a bone foot pad.
    drawSticker(cv, ellipse({108, 220}, 30, 22), furry);
    drawSticker(cv, ellipse({88, 222}, 10, 14), patch);
    // Ears, head, muzzle.
    drawSticker(cv, circle({84, 46}, 22), furry);
    drawSticker(cv, circle({84, 46}, 11), patch);
    drawSticker(cv, circle({158, 44}, 22), furry);
    drawSticker(cv, circle({158, 44}, 11), patch);
    drawSticker(cv, circle({118, 94}, 54), furry);
    drawStitches(cv, {118, 42}, {140, 132}, 7, 5);
    drawSticker(cv, ellipse({78, 114}, 30, 22), patch);
    drawSticker(cv, ellipse({60, 104}, 11, 8), Sticker{shade(pal::ink, 2.5f), pal::ink, 2, 0.8f});
    fillShape(cv, capsule({62, 113}, {64, 124}, 1.8f), pal::ink);
    fillShape(cv, subtract(ellipse({72, 126}, 12, 7), ellipse({72, 121}, 13, 6)), pal::ink);
    // One bright eye and one button eye sewn on with a cross.
    drawEye(cv, {82, 80}, 11, {-0.8f, 0.2f});
    drawSticker(cv, circle({122, 78}, 11), Sticker{pal::magenta, darker(pal::magenta), 3, 1});
    for (int i = 0; i < 4; ++i)
        fillShape(cv, circle(Vec2{122, 78} + rotate({4, 4}, i * 90.0f), 1.8f), pal::ink);
    // Near arm waving forward.
    drawSticker(cv, ellipse({76, 170}, 20, 32, 40), furry);
    drawSticker(cv, ellipse({62, 184}, 10, 12, 40), patch);
}

void paintPicamon(Canvas& cv) {
    const Sticker yellow{lighter(pal::sun, 0.25f), mix(pal::sun, pal::orange, 0.45f), 4, 1};
    // The zig-zag tail, a lightning bolt with an orange root.
    drawSticker(cv,
                polygon({{160, 200},
                         {200, 178},
                         {184, 156},
                         {232, 124},
                         {214, 100},
                         {250, 56},
                         {200, 92},
                         {216, 116},
                         {168, 144},
                         {180, 168},
                         {150, 184}}),
                yellow);
    drawSticker(cv, polygon({{160, 200}, {182, 188}, {170, 168}, {150, 184}}),
                Sticker{pal::orange, darker(pal::orange), 3, 0.5f});
    // Far ear, body, feet and stubby arms.
    drawSticker(cv, polygon({{128, 70}, {150, 14}, {150, 40}, {176, 24}, {154, 84}}), yellow);
    drawSticker(cv,
                intersect(polygon({{128, 70}, {150, 14}, {150, 40}, {176, 24}, {154, 84}}),
                          circle({170, 20}, 16)),
                Sticker{pal::cyan, shade(pal::cyan, 0.7f), 0, 0});
    drawSticker(cv, ellipse({128, 178}, 50, 52), yellow);
    drawSticker(cv, ellipse({102, 230}, 20, 10), yellow);
    drawSticker(cv, ellipse({152, 232}, 20, 10), yellow);
    // Head, near ear, face.
    drawSticker(cv, polygon({{84, 76}, {72, 14}, {90, 36}, {104, 6}, {112, 74}}), yellow);
    drawSticker(cv,
                intersect(polygon({{84, 76}, {72, 14}, {90, 36}, {104, 6}, {112, 74}}),
                          unite(circle({72, 12}, 14), circle({104, 4}, 14))),
                Sticker{pal::cyan, shade(pal::cyan, 0.7f), 0, 0});
    drawSticker(cv, ellipse({114, 108}, 56, 44), yellow);
    drawSticker(
        cv, polygon({{112, 66}, {124, 66}, {116, 80}, {126, 80}, {108, 98}, {114, 84}, {104, 84}}),
        Sticker{pal::orange, darker(pal::orange), 2, 0.5f});
    drawEye(cv, {80, 96}, 10, {-0.8f, 0});
    drawEye(cv, {120, 94}, 11, {-0.8f, 0});
    drawSticker(cv, circle({76, 122}, 11),
                Sticker{lighter(pal::magenta, 0.2f), pal::magenta, 2.5f, 0.8f});
    fillShape(cv, ellipse({64, 108}, 3, 2.2f), pal::ink);
    fillShape(cv, subtract(ellipse({96, 124}, 11, 7), ellipse({96, 119}, 12, 6)), pal::ink);
    drawSticker(cv, ellipse({80, 168}, 12, 18, 35), yellow);
    drawSticker(cv, ellipse({108, 176}, 11, 16, -20), yellow);
    // Sparks crackle around the cheek.
    drawSpark(cv, {40, 124}, 16, -20, pal::cyan);
    drawSpark(cv, {50, 160}, 12, 30, pal::cyan);
}
