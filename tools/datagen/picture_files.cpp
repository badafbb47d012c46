// PNG through libpng's simplified API, JPEG through libjpeg at quality 90 with
// full-resolution colour (saturated shapes on black smear when subsampled).
#include "picture_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "sdf.h"

// The canvas over black: premultiplied colour is exactly that.
static std::vector<uint8_t> opaqueRgb(const Canvas& cv) {
    std::vector<uint8_t> rgb(static_cast<size_t>(cv.size) * cv.size * 3);
    for (size_t i = 0, j = 0; i < cv.px.size(); i += 4, j += 3)
        for (int c = 0; c < 3; ++c)
            rgb[j + c] = static_cast<uint8_t>(std::lround(clamp01(cv.px[i + c]) * 255));
    return rgb;
}

static bool writePng(const std::string& path, const Canvas& cv, bool alpha) {
    const std::vector<uint8_t> pixels = alpha ? toRgba8(cv) : opaqueRgb(cv);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(cv.size);
    image.height = static_cast<png_uint_32>(cv.size);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) {
        std::fprintf(stderr, "quarnel-datagen: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

static bool writeJpeg(const std::string& path, const Canvas& cv) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> rgb = opaqueRgb(cv);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(cv.size);
    cinfo.image_height = static_cast<JDIMENSION>(cv.size);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    for (int c = 0; c < 3; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(cinfo.next_scanline) * cv.size * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !ok) {
        std::fprintf(stderr, "quarnel-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writePicture(const std::string& path, const Canvas& cv, PictureFormat format) {
    switch (format) {
    case PictureFormat::PngAlpha:
        return writePng(path, cv, true);
    case PictureFormat::PngOpaque:
        return writePng(path, cv, false);
    case PictureFormat::Jpeg:
        return writeJpeg(path, cv);
    }
    return false;
}
