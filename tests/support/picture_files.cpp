// JPEG and PNG writers for tests and benchmarks, over libjpeg and libpng.
#include "picture_files.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

TestPicture solidPicture(int width, int height, const std::vector<uint8_t>& colour) {
    return bandedPicture(width, height, {colour});
}

TestPicture bandedPicture(int width, int height, const std::vector<std::vector<uint8_t>>& colours) {
    TestPicture picture;
    picture.width = width;
    picture.height = height;
    picture.channels = int(colours.front().size());
    picture.pixels.resize(size_t(width) * height * picture.channels);
    for (int y = 0; y < height; y++) {
        const std::vector<uint8_t>& colour = colours[size_t(y) * colours.size() / height];
        for (int x = 0; x < width; x++)
            std::copy(colour.begin(), colour.end(), picture.at(x, y));
    }
    return picture;
}

// ---- JPEG ----

namespace {

struct JpegWriteError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void jumpOnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegWriteError*>(cinfo->err)->jump, 1);
}

// Inks from RGB with as much black as possible; inverted for Adobe files.
void rgbToInks(const uint8_t* rgb, uint8_t* inks, bool inverted) {
    const int most = std::max({rgb[0], rgb[1], rgb[2]});
    const int k = 255 - most;
    for (int i = 0; i < 3; i++)
        inks[i] = most ? uint8_t((most - rgb[i]) * 255 / most) : 0;
    inks[3] = uint8_t(k);
    if (inverted)
        for (int i = 0; i < 4; i++)
            inks[i] = uint8_t(255 - inks[i]);
}

// A scan per component, coefficient and bit: DC first, then every AC
// coefficient alone, each refined one bit at a time down from bit 10.
std::vector<jpeg_scan_info> separateScans(int components) {
    std::vector<jpeg_scan_info> scans;
    for (int c = 0; c < components; c++)
        scans.push_back({1, {c, 0, 0, 0}, 0, 0, 0, 0});
    for (int c = 0; c < components; c++)
        for (int k = 1; k < 64; k++) {
            scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 10});
            for (int bit = 10; bit > 0; bit--)
                scans.push_back({1, {c, 0, 0, 0}, k, k, bit, bit - 1});
        }
    return scans;
}

bool compressJpeg(jpeg_compress_struct& cinfo, JpegWriteError& jerr,
                  const std::vector<uint8_t>& samples, int rowBytes, const JpegOptions& options,
                  const std::vector<jpeg_scan_info>& scans) {
    if (setjmp(jerr.jump)) return false;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.colour == JpegColour::Grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    if (options.colour == JpegColour::Ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (options.colour == JpegColour::PlainCmyk) cinfo.write_Adobe_marker = FALSE;
    if (options.fullChroma)
        for (int c = 0; c < cinfo.num_components; c++)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (options.progressive) jpeg_simple_progression(&cinfo);
    if (!scans.empty()) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(samples.data()) + size_t(cinfo.next_scanline) * rowBytes;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

std::vector<uint8_t> encodeTestJpeg(const TestPicture& picture, const JpegOptions& options) {
    if (picture.channels != 3) return {};
    const bool inks = options.colour == JpegColour::AdobeCmyk ||
                      options.colour == JpegColour::PlainCmyk || options.colour == JpegColour::Ycck;
    std::vector<uint8_t> samples = picture.pixels;
    if (inks) {
        samples.assign(size_t(picture.width) * picture.height * 4, 0);
        for (size_t i = 0; i < size_t(picture.width) * picture.height; i++)
            rgbToInks(&picture.pixels[i * 3], &samples[i * 4],
                      options.colour != JpegColour::PlainCmyk);
    }
    std::vector<jpeg_scan_info> scans;
    if (options.everyScanSeparate) scans = separateScans(inks ? 4 : 3);

    jpeg_compress_struct cinfo;
    JpegWriteError jerr;
    cinfo.err = jpeg_std_error(&jerr.pub);
    jerr.pub.error_exit = jumpOnJpegError;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width);
    cinfo.image_height = JDIMENSION(picture.height);
    cinfo.input_components = inks ? 4 : 3;
    cinfo.in_color_space = inks ? JCS_CMYK : JCS_RGB;
    const bool ok =
        compressJpeg(cinfo, jerr, samples, picture.width * cinfo.input_components, options, scans);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes;
    if (ok && buffer) bytes.assign(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

bool writeTestJpeg(const std::string& path, const TestPicture& picture,
                   const JpegOptions& options) {
    std::vector<uint8_t> bytes = encodeTestJpeg(picture, options);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

// ---- PNG ----

namespace {

void appendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

bool compressPng(png_structp png, png_infop info, std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

} // namespace

std::vector<uint8_t> encodeTestPng(const TestPicture& picture, const PngOptions& options) {
    const int depth = options.bitDepth;
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA, samples = 4;
    switch (options.colour) {
    case PngColour::Rgb:
        colourType = PNG_COLOR_TYPE_RGB, samples = 3;
        break;
    case PngColour::Rgba:
        colourType = PNG_COLOR_TYPE_RGB_ALPHA, samples = 4;
        break;
    case PngColour::Grey:
        colourType = PNG_COLOR_TYPE_GRAY, samples = 1;
        break;
    case PngColour::GreyAlpha:
        colourType = PNG_COLOR_TYPE_GRAY_ALPHA, samples = 2;
        break;
    case PngColour::Palette:
        colourType = PNG_COLOR_TYPE_PALETTE, samples = 1;
        break;
    }
    auto channel = [&](int x, int y, int c) -> int {
        return c < picture.channels ? picture.at(x, y)[c] : 255;
    };

    // Palette: the distinct colours in order of first appearance.
    std::vector<std::array<uint8_t, 4>> palette;
    std::vector<int> index(size_t(picture.width) * picture.height, 0);
    if (options.colour == PngColour::Palette)
        for (int y = 0; y < picture.height; y++)
            for (int x = 0; x < picture.width; x++) {
                std::array<uint8_t, 4> c{uint8_t(channel(x, y, 0)), uint8_t(channel(x, y, 1)),
                                         uint8_t(channel(x, y, 2)), uint8_t(channel(x, y, 3))};
                auto found = std::find(palette.begin(), palette.end(), c);
                if (found == palette.end()) found = palette.insert(palette.end(), c);
                index[size_t(y) * picture.width + x] = int(found - palette.begin());
            }
    if (palette.size() > (size_t(1) << std::min(depth, 8))) return {};

    // Pack the samples of each row, most significant bits first.
    const size_t rowBytes = (size_t(picture.width) * samples * depth + 7) / 8;
    std::vector<uint8_t> data(rowBytes * picture.height, 0);
    for (int y = 0; y < picture.height; y++) {
        uint8_t* row = data.data() + rowBytes * y;
        size_t bit = 0;
        for (int x = 0; x < picture.width; x++)
            for (int s = 0; s < samples; s++) {
                int value = 0;
                if (options.colour == PngColour::Palette)
                    value = index[size_t(y) * picture.width + x];
                else if (options.colour == PngColour::Grey)
                    value = channel(x, y, 0);
                else if (options.colour == PngColour::GreyAlpha)
                    value = channel(x, y, s ? 3 : 0);
                else
                    value = channel(x, y, s);
                if (depth == 16) {
                    row[bit / 8] = uint8_t(value);
                    row[bit / 8 + 1] = uint8_t(value);
                } else if (depth == 8) {
                    row[bit / 8] = uint8_t(value);
                } else {
                    if (options.colour != PngColour::Palette) value >>= 8 - depth;
                    row[bit / 8] |= uint8_t(value << (8 - depth - bit % 8));
                }
                bit += size_t(depth);
            }
    }
    std::vector<png_bytep> rows(size_t(picture.height));
    for (int y = 0; y < picture.height; y++)
        rows[y] = data.data() + rowBytes * y;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), depth,
                 colourType, options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    if (options.colour == PngColour::Palette) {
        bool anyAlpha = false;
        for (const auto& c : palette) {
            colours.push_back({c[0], c[1], c[2]});
            alphas.push_back(c[3]);
            anyAlpha = anyAlpha || c[3] != 255;
        }
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
        if (anyAlpha) png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    }
    png_color_16 key{};
    if (options.transparent) {
        const int scale = depth == 16 ? 257 : 1;
        const int shift = depth < 8 ? 8 - depth : 0;
        key.red = png_uint_16(((*options.transparent)[0] >> shift) * scale);
        key.green = png_uint_16(((*options.transparent)[1] >> shift) * scale);
        key.blue = png_uint_16(((*options.transparent)[2] >> shift) * scale);
        key.gray = key.red;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_set_rows(png, info, rows.data());
    std::vector<uint8_t> out;
    const bool ok = compressPng(png, info, out);
    png_destroy_write_struct(&png, &info);
    return ok ? out : std::vector<uint8_t>();
}

bool writeTestPng(const std::string& path, const TestPicture& picture, const PngOptions& options) {
    std::vector<uint8_t> bytes = encodeTestPng(picture, options);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

std::vector<uint8_t> pngHeaderOnly(uint32_t width, uint32_t height, int bitDepth, int colourType) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto put32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int shift = 24; shift >= 0; shift -= 8)
            v.push_back(uint8_t(x >> shift));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
        put32(out, uint32_t(body.size()));
        std::vector<uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), body.begin(), body.end());
        out.insert(out.end(), typed.begin(), typed.end());
        put32(out, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
    };
    std::vector<uint8_t> ihdr;
    put32(ihdr, width);
    put32(ihdr, height);
    ihdr.insert(ihdr.end(), {uint8_t(bitDepth), uint8_t(colourType), 0, 0, 0});
    chunk("IHDR", ihdr);
    chunk("IEND", {});
    return out;
}

// ---- Files ----

std::string testFilePath(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("quarnel-pictures-" + std::to_string(getpid()));
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return (folder / name).string();
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
