// A float RGBA canvas for the generated pictures: anti-aliased signed-distance
// shapes painted in the glossy sticker look, gradients, glow, blur and the
// colour bleed that keeps linear filtering from showing dark fringes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};

// The palette: every hue in the pictures comes from these eight.
namespace pal {
constexpr Color night{0.043f, 0.063f, 0.149f, 1}; // #0b1026
constexpr Color cyan{0.153f, 0.878f, 1.0f, 1};    // #27e0ff
constexpr Color magenta{1.0f, 0.180f, 0.533f, 1}; // #ff2e88
constexpr Color sun{1.0f, 0.824f, 0.247f, 1};     // #ffd23f
constexpr Color orange{1.0f, 0.478f, 0.102f, 1};  // #ff7a1a
constexpr Color leaf{0.239f, 0.863f, 0.518f, 1};  // #3ddc84
constexpr Color bone{0.957f, 0.945f, 0.910f, 1};  // #f4f1e8
constexpr Color ink{0.063f, 0.075f, 0.110f, 1};   // #10131c
constexpr Color black{0, 0, 0, 1};
} // namespace pal

Color mix(Color a, Color b, float t); // straight interpolation, alpha too
Color shade(Color c, float k);        // c's rgb times k (k < 1 darkens)
Color withAlpha(Color c, float a);

struct Vec2 {
    float x = 0, y = 0;
};

// A signed distance in design units (negative inside). Every recipe draws in
// a 256 x 256 design space with y down, whatever the canvas size.
using Sdf = std::function<float(Vec2)>;
// A fill colour for a design-space point.
using Fill = std::function<Color(Vec2)>;

// Premultiplied RGBA, row-major, top row first.
struct Canvas {
    int size = 0;
    float scale = 1;      // pixels per design unit
    Vec2 origin = {0, 0}; // where design point (0, 0) is drawn, in design units
    std::vector<float> px;

    explicit Canvas(int side);
    float* at(int x, int y) { return &px[(static_cast<size_t>(y) * size + x) * 4]; }
    const float* at(int x, int y) const { return &px[(static_cast<size_t>(y) * size + x) * 4]; }
};

// Source-over compositing of one straight colour with a coverage in 0..1.
void blendOver(float* dst, Color c, float coverage);
// Adds the colour times its alpha and the coverage (the glow of additive pictures).
void blendAdd(float* dst, Color c, float coverage);

void fillAll(Canvas& cv, Color c);
// Every pixel from a design-space colour function, source-over.
void fillWith(Canvas& cv, const Fill& fill);
// The same from 4 x 4 samples per pixel, for busy patterns that would alias.
void fillWithSupersampled(Canvas& cv, const Fill& fill);

// Fills the shape, anti-aliased over about 1.5 px, source-over or added.
void fillShape(Canvas& cv, const Sdf& sdf, const Fill& fill, bool additive = false);
void fillShape(Canvas& cv, const Sdf& sdf, Color c, bool additive = false);

// The sticker: ink outline of `outline` design units inside the edge, a
// vertical gradient from top to bottom, a soft highlight along the upper
// left and a darker rim along the lower right.
struct Sticker {
    Color top;
    Color bottom;
    float outline = 4;
    float gloss = 1; // 0 leaves the fill flat
};
void drawSticker(Canvas& cv, const Sdf& sdf, const Sticker& s);
void drawSticker(Canvas& cv, const Sdf& sdf, Color c, float outline = 4);

// Separable box blur run three times: close to a Gaussian of about radius r px.
void blur(Canvas& cv, float radiusPx);
// The glow of additive pictures: the picture plus two blurred copies of it
// (about 4 and 16 px) added underneath.
void addGlow(Canvas& cv, float strongNear = 1.0f, float strongFar = 0.8f);
// Adds src onto dst (both premultiplied), clamped to 1.
void addInto(Canvas& dst, const Canvas& src, float gain = 1);
// Source-over of src onto dst.
void over(Canvas& dst, const Canvas& src);
// Source-over of src shrunk to half its size (2 x 2 averages), its top left
// at pixel (x0, y0) of dst, mirrored left to right when asked.
void stampHalf(Canvas& dst, const Canvas& src, int x0, int y0, bool mirror);

// Value noise and fractal noise, periodic with the given period (in lattice
// cells) so that textures made from it tile. Deterministic: a fixed hash.
float hash2(int x, int y, uint32_t seed);
float valueNoise(float x, float y, int period, uint32_t seed);
float fbm(float x, float y, int period, int octaves, uint32_t seed);

// 8-bit straight RGBA of the canvas (colour un-premultiplied). The colour of
// the visible texels is spread into the fully transparent ones, so that linear
// filtering at the edges mixes in the right hue, not black.
std::vector<uint8_t> toRgba8(const Canvas& cv);
