// Captions on cards: the monsters' name ribbons and skills cards, the credits,
// the greetings and the makers' logo. Where a caption plate lies half over the
// picture above it, its upper half stays empty; where a plate reaches past the
// window's edge its content keeps clear of that side.
#include <string>

#include "monster_parts.h"
#include "picture_recipes.h"
#include "sdf.h"
#include "text.h"

namespace {

Color darker(Color c) {
    return shade(c, 0.7f);
}
Color lighter(Color c) {
    return mix(c, pal::bone, 0.35f);
}
// Lettering that stands out on a band of `band`: yellow would vanish on yellow.
Color letterBottom(Color band) {
    return band.b < 0.3f && band.r > 0.9f ? pal::cyan : pal::sun;
}

Face faceFor(const std::string& text) {
    return text.size() > 6 ? Face::Condensed : Face::Bold;
}

} // namespace

void paintNameRibbon(Canvas& cv, const char* name, Color colour) {
    // Ribbon tails folded behind the band, then the band, then the name.
    const Sticker tail{darker(colour), shade(colour, 0.5f), 4, 0.6f};
    drawSticker(cv, polygon({{6, 170}, {36, 170}, {36, 222}, {6, 222}, {20, 196}}), tail);
    drawSticker(cv, polygon({{250, 170}, {220, 170}, {220, 222}, {250, 222}, {236, 196}}), tail);
    drawSticker(cv, roundBox({128, 186}, 106, 30, 14),
                Sticker{lighter(colour), darker(colour), 4, 1});
    fillShape(cv, ring(roundBox({128, 186}, 98, 22, 9), 1), withAlpha(pal::bone, 0.6f));
    TextStyle style;
    style.face = faceFor(name);
    style.top = pal::bone;
    style.bottom = letterBottom(colour);
    drawText(cv, name, {128, 186}, 32, style, 196);
}

namespace {

struct Skill {
    const char* name;
    const char* power;
};

// A rounded card: border in the monster's colour, night-blue face, a type
// icon and type name at the top, then one row per attack: name and power.
void paintSkillsCard(Canvas& cv, Color colour, const char* type, void (*icon)(Canvas&, Vec2),
                     const Skill (&skills)[3]) {
    drawSticker(cv, roundBox({128, 128}, 122, 122, 22),
                Sticker{lighter(colour), darker(colour), 4, 1});
    fillShape(cv, roundBox({128, 136}, 108, 106, 14), [](Vec2 p) {
        return mix(mix(pal::night, pal::cyan, 0.2f), pal::night, clamp01((p.y - 30) / 200));
    });
    icon(cv, {44, 46});
    TextStyle head;
    head.top = pal::bone;
    head.bottom = lighter(colour);
    drawText(cv, type, {150, 46}, 30, head, 150);
    for (int i = 0; i < 3; ++i) {
        const float y = 100 + i * 52.0f;
        fillShape(cv, roundBox({128, y}, 100, 21, 10),
                  withAlpha(mix(pal::night, pal::cyan, 0.3f), 0.6f));
        TextStyle name;
        name.face = Face::Condensed;
        name.outline = 3;
        name.shadow = {2, 2};
        drawText(cv, skills[i].name, {90, y}, 26, name, 138);
        TextStyle power = name;
        power.face = Face::Bold;
        power.top = pal::sun;
        power.bottom = pal::orange;
        drawText(cv, skills[i].power, {200, y}, 26, power, 62);
    }
}

void flameIcon(Canvas& cv, Vec2 c) {
    drawSticker(cv, circle(c, 26), Sticker{lighter(pal::orange), darker(pal::orange), 3.5f, 1});
    const Sdf flame = blend(circle({c.x, c.y + 7}, 11),
                            polygon({{c.x - 10, c.y + 4},
                                     {c.x - 2, c.y - 20},
                                     {c.x + 4, c.y - 8},
                                     {c.x + 9, c.y - 16},
                                     {c.x + 11, c.y + 4}}),
                            4);
    drawSticker(cv, flame, Sticker{pal::sun, pal::orange, 2.5f, 0.6f});
    fillShape(cv, circle({c.x, c.y + 9}, 5), pal::bone);
}

void windIcon(Canvas& cv, Vec2 c) {
    drawSticker(cv, circle(c, 26), Sticker{lighter(pal::cyan), darker(pal::cyan), 3.5f, 1});
    for (int i = 0; i < 3; ++i) {
        const float y = c.y - 10 + i * 10.0f;
        const float x0 = c.x - 16 + (i == 1 ? 6 : 0);
        fillShape(cv, capsule({x0, y}, {c.x + 10, y}, 3), pal::night);
        fillShape(cv, subtract(circle({c.x + 10, y - 4}, 6), circle({c.x + 10, y - 4}, 2.5f)),
                  pal::night);
    }
}

} // namespace

void paintClawSkills(Canvas& cv) {
    const Skill skills[3] = {{"SLASH", "40"}, {"FANG RUSH", "60"}, {"FLARE CLAW", "90"}};
    paintSkillsCard(cv, pal::orange, "FIRE", flameIcon, skills);
}

void paintCorvSkills(Canvas& cv) {
    const Skill skills[3] = {{"PECK", "30"}, {"NIGHT GUST", "50"}, {"SKY DIVE", "80"}};
    paintSkillsCard(cv, pal::cyan, "WIND", windIcon, skills);
}

void paintCredit(Canvas& cv, const char* name, const char* role, Color colour) {
    // The role on a small pill, the name large below it, all in the lower half
    // and clear of the outer edges, which the credits plates push past the window.
    drawSticker(cv, roundBox({128, 148}, 70, 19, 19),
                Sticker{lighter(colour), darker(colour), 3, 0.8f});
    TextStyle small;
    small.face = faceFor(role);
    small.top = pal::ink;
    small.bottom = pal::night;
    small.outline = 0;
    small.shadow = {0, 0};
    drawText(cv, role, {128, 148}, 22, small, 124);
    TextStyle big;
    big.face = faceFor(name);
    big.top = pal::bone;
    big.bottom = colour;
    big.outline = 5;
    drawText(cv, name, {128, 204}, 50, big, 192);
}

void paintGreeting(Canvas& cv, const char* group, Color colour) {
    // The "greetings to" line, then the group's name, in the lower half and
    // clear of both sides: the plates on the left and right reach past the window.
    TextStyle small;
    small.face = Face::Condensed;
    small.top = pal::bone;
    small.bottom = lighter(colour);
    small.outline = 3;
    small.shadow = {2, 2};
    small.tracking = 1;
    drawText(cv, "GREETINGS TO", {128, 148}, 22, small, 192);
    TextStyle big;
    big.face = faceFor(group);
    big.top = pal::bone;
    big.bottom = colour;
    big.outline = 5;
    drawText(cv, group, {128, 204}, 48, big, 192);
}

void paintVormakLogo(Canvas& cv) {
    // The emblem, a faceted V in a diamond, over the wordmark; the lowest
    // quarter stays empty because the plate reaches below the window.
    const Sdf diamond = polygon({{128, 10}, {186, 62}, {128, 114}, {70, 62}});
    Canvas glow(cv.size);
    fillShape(glow, grow(diamond, 6), withAlpha(pal::magenta, 0.9f));
    blur(glow, 10 * cv.scale);
    over(cv, glow);
    drawSticker(cv, diamond, Sticker{mix(pal::night, pal::cyan, 0.3f), pal::night, 4, 1});
    drawSticker(cv, polygon({{100, 40}, {118, 40}, {128, 70}, {138, 40}, {156, 40}, {128, 96}}),
                Sticker{pal::bone, pal::cyan, 3, 1});
    drawSticker(cv, polygon({{128, 70}, {138, 40}, {156, 40}, {128, 96}}),
                Sticker{pal::cyan, mix(pal::cyan, pal::night, 0.4f), 3, 0.5f});
    TextStyle word;
    word.top = pal::bone;
    word.bottom = pal::magenta;
    word.outline = 5;
    word.tracking = 2;
    drawText(cv, "VORMAK", {128, 150}, 46, word, 244);
    fillShape(cv, capsule({52, 184}, {204, 184}, 3), pal::cyan);
}
