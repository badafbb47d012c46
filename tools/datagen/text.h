// Lettering with FreeType in DejaVu Sans Bold: ink outline, vertical gradient
// fill and a drop shadow down-right, the card-game look of every caption.
#pragma once

#include <string>

#include "canvas.h"

enum class Face { Bold, Condensed };

struct TextStyle {
    Face face = Face::Bold;
    Color top = pal::bone;   // fill at the top of the capitals
    Color bottom = pal::sun; // fill at the baseline
    float outline = 4;       // ink outline, design units
    Vec2 shadow = {3, 3};    // drop shadow offset, design units (0, 0: none)
    float shadowAlpha = 0.55f;
    float slant = 0;    // forward lean, x shift per unit of height
    float tracking = 0; // extra space between letters, design units
    Color outlineColor = pal::ink;
};

// True when both DejaVu faces load; otherwise false with the reason in error.
bool fontsAvailable(std::string& error);

// Draws text with its capitals centred on `centre` (design units), capital
// letters `capHeight` tall, shrunk to fit `maxWidth` when wider. Returns the
// cap height actually used, or 0 when the font cannot be loaded (after a
// message on standard error).
float drawText(Canvas& cv, const std::string& text, Vec2 centre, float capHeight,
               const TextStyle& style, float maxWidth = 1e9f);
