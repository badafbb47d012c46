// Writing canvases as PNG (with or without alpha) and JPEG files.
#pragma once

#include <string>

#include "canvas.h"

// Opaque files show the canvas laid over black.
enum class PictureFormat { PngAlpha, PngOpaque, Jpeg };

// Writes the canvas; false after a message on standard error when the file
// cannot be written.
bool writePicture(const std::string& path, const Canvas& cv, PictureFormat format);
