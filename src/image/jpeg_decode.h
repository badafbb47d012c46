// JPEG decoding to RGB rows, apart from OpenGL, so that damaged and hostile
// files can be fed to it without a context or a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/jpeg_texture.h"

struct jpeg_decompress_struct;

// Pictures larger than this are refused as damaged before anything large is
// allocated: no real picture of the demo comes near them.
constexpr int maxJpegSide = 8192; // pixels on either side
constexpr uint64_t maxJpegBytes = uint64_t(256)
                                  << 20; // decoded RGB bytes, should the side limit grow
constexpr long maxJpegLibraryMemory = long(512) << 20; // libjpeg's own working memory
constexpr int maxJpegScans = 1000;                     // progressive scans

// Runs a decompressor whose source is attached: reads the header, refuses
// pictures over the limits above, decodes to RGB whatever the file's colour
// space (grey, YCbCr, RGB, CMYK, YCCK), and fills image (rowBytes = width * 3,
// top row first). Every failure, refusals included, goes through the
// decompressor's error manager, whose error_exit must not return.
void decodeJpeg(jpeg_decompress_struct* cinfo, JpegImage* image);

// Decodes an open file from its current position. False, with libjpeg's
// message in error and image emptied, when the data is damaged or refused.
// Never exits and never prints.
bool decodeJpegStream(std::FILE* file, JpegImage& image, std::string& error);
// The same for a file name; a file that cannot be opened is an error too.
bool decodeJpegFile(const char* path, JpegImage& image, std::string& error);
// The same for a JPEG held in memory.
bool decodeJpegMemory(const unsigned char* data, size_t size, JpegImage& image, std::string& error);
