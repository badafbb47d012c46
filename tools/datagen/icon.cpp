// The program's icon: the clawed beast of the title roaring out of a badge
// lit like the title slide, the same picture at every size Windows asks for.
#include "icon.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <png.h>

#include "picture_recipes.h"
#include "sdf.h"

namespace {

const Sdf badge = roundBox({128, 128}, 120, 120, 46);

// The picture at `side` pixels, drawn four times as large and averaged down
// below 256 px, so that the smallest sizes keep the outline and the eye.
Canvas iconCanvas(int side) {
    const int k = side < 256 ? 4 : 1;
    Canvas big(side * k);
    fillShape(big, badge, [](Vec2 p) {
        const float dx = p.x - 128, dy = p.y - 170;
        const float ray = 0.5f + 0.5f * std::cos(std::atan2(dy, dx) * 12);
        const Color core =
            mix(pal::magenta, pal::night, clamp01(std::sqrt(dx * dx + dy * dy) / 200));
        return mix(core, mix(core, pal::night, 0.5f), ray);
    });
    // The beast's head and claws fill the badge, cut off at its edge.
    Canvas beast(big.size);
    beast.scale = big.size / 184.0f;
    beast.origin = {-4, -14};
    paintClawomon(beast);
    Canvas inside(big.size);
    fillShape(inside, grow(badge, -1), pal::black);
    for (size_t i = 0; i < beast.px.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            beast.px[i + c] *= inside.px[i + 3];
    over(big, beast);
    fillShape(big, ring(badge, 3), pal::ink);
    if (k == 1) return big;
    Canvas small(side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 4; ++c) {
                float sum = 0;
                for (int sy = 0; sy < k; ++sy)
                    for (int sx = 0; sx < k; ++sx)
                        sum += big.at(x * k + sx, y * k + sy)[c];
                small.at(x, y)[c] = sum / float(k * k);
            }
    return small;
}

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, unsigned v) {
    put16(out, v & 0xffff), put16(out, v >> 16);
}

// A PNG file's bytes: straight RGBA.
std::vector<uint8_t> pngBytes(const Canvas& cv) {
    const std::vector<uint8_t> rgba = toRgba8(cv);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = png_uint_32(cv.size);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    std::vector<uint8_t> out;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
        out.resize(size);
        if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr))
            out.clear();
    }
    return out;
}

// An icon's bitmap as Windows has always read it: the header of a
// device-independent bitmap twice the picture's height, the colour as 32-bit
// BGRA rows from the bottom up, then a 1-bit mask that marks the fully
// transparent pixels for readers that ignore the alpha.
std::vector<uint8_t> dibBytes(const Canvas& cv) {
    const std::vector<uint8_t> rgba = toRgba8(cv);
    const unsigned side = unsigned(cv.size), maskRow = (side + 31) / 32 * 4;
    std::vector<uint8_t> out;
    for (unsigned v : {40u, side, 2 * side})
        put32(out, v);             // size, width, height
    put16(out, 1), put16(out, 32); // planes, bits per pixel
    for (unsigned v : {0u, side * side * 4 + side * maskRow, 0u, 0u, 0u, 0u})
        put32(out, v);
    for (unsigned y = side; y-- > 0;)
        for (unsigned x = 0; x < side; x++) {
            const uint8_t* p = &rgba[(y * side + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    for (unsigned y = side; y-- > 0;) {
        std::vector<uint8_t> row(maskRow, 0);
        for (unsigned x = 0; x < side; x++)
            if (rgba[(y * side + x) * 4 + 3] == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

std::vector<uint8_t> iconFile(const std::vector<int>& sides) {
    std::vector<std::vector<uint8_t>> images;
    for (const int side : sides) {
        const Canvas cv = iconCanvas(side);
        images.push_back(side >= 256 ? pngBytes(cv) : dibBytes(cv));
        if (images.back().empty()) return {};
    }
    std::vector<uint8_t> out;
    put16(out, 0), put16(out, 1), put16(out, unsigned(sides.size())); // an icon, n images
    unsigned offset = 6 + 16 * unsigned(sides.size());
    for (size_t i = 0; i < sides.size(); i++) {
        const uint8_t side = uint8_t(sides[i] & 0xff); // 256 is written as 0
        out.insert(out.end(), {side, side, 0, 0});     // no palette
        put16(out, 1), put16(out, 32);                 // planes, bits per pixel
        put32(out, unsigned(images[i].size())), put32(out, offset);
        offset += unsigned(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool writeIcons(const std::string& outDir) {
    const std::vector<uint8_t> ico = iconFile(iconSides);
    const std::vector<uint8_t> png = pngBytes(iconCanvas(smallIconSide));
    if (ico.empty() || png.empty()) {
        std::fprintf(stderr, "quarnel-datagen: cannot encode the icon\n");
        return false;
    }
    return writeFile(outDir + "/quarnel.ico", ico) && writeFile(outDir + "/quarnel.png", png);
}
