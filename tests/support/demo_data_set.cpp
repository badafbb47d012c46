// Writes the pictures with libjpeg and libpng directly and the object files
// with the project's own writer.
#include "demo_data_set.h"

#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <png.h>
#include <vector>

#include "resources/demo_state.h"

bool writeSolidJpeg(const std::string& path, int width, int height, uint8_t r, uint8_t g,
                    uint8_t b) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::vector<JSAMPLE> row(size_t(width) * 3);
    for (size_t i = 0; i < row.size(); i += 3) {
        row[i] = r;
        row[i + 1] = g;
        row[i + 2] = b;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, rows, 1);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(out) == 0;
}

bool writeSolidPng(const std::string& path, int width, int height, uint8_t r, uint8_t g, uint8_t b,
                   uint8_t a) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
        pixels[i + 3] = a;
    }
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
    png_image_free(&image);
    return ok;
}

ObjectMesh dataSetMesh(int n) {
    const float x = 5.0f + float(n);
    ObjectMesh mesh;
    mesh.vertices = {{x, -10, 1, 0.25f, 0.75f}, {x + 5, -10, 1, 0, 0}, {x, -5, 1, 1, 1}};
    mesh.triangles = {{0, 1, 2}};
    mesh.ignoredBlock.assign(size_t(n) + 3, uint8_t(n));
    return mesh;
}

bool writeDemoDataSet(const std::string& root, int cubeMeshes) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(root + "/data/pic/pokemon", error);
    fs::create_directories(root + "/data/objects", error);

    bool ok = true;
    for (int i = 0; i < jpegFileCount; i++)
        ok = ok && writeSolidJpeg(root + "/" + jpegFiles[i], 4, 4, uint8_t(30 * i), 100, 200);
    for (int i = 0; i < pngFileCount; i++)
        ok = ok && writeSolidPng(root + "/" + pngFiles[i].path, 4, 4, uint8_t(5 * i), 50, 90, 255);

    const std::string objects = root + "/data/objects/";
    std::vector<ObjectMesh> cube;
    for (int n = 0; n < cubeMeshes; n++)
        cube.push_back(dataSetMesh(n));
    ok = ok && writeObjectFile(objects + "tunnel.ebr", {dataSetMesh(0), dataSetMesh(1)});
    ok = ok && writeObjectFile(objects + "bicube.ebr", {dataSetMesh(0), dataSetMesh(1)});
    ok = ok && writeObjectFile(objects + "kube2.ebr", cube);
    ok = ok && writeObjectFile(objects + "kule.ebr", {dataSetMesh(0)});
    return ok;
}
