// The program's icon, made with the data set: quarnel.ico for the Windows
// program and quarnel.png, a small copy, for the Linux and web releases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The sizes Windows picks from, from the smallest list entry to the largest tile.
const std::vector<int> iconSides = {16, 24, 32, 48, 64, 128, 256};
constexpr int smallIconSide = 64;

// An .ico file holding the icon at each side given (pixels): 32-bit bitmaps
// with alpha, but PNG from 256 px up as Windows Vista and later read them.
// Empty when a picture cannot be encoded.
std::vector<uint8_t> iconFile(const std::vector<int>& sides);

// Writes OUTDIR/quarnel.ico (every size of iconSides) and OUTDIR/quarnel.png
// (smallIconSide); false after a message on standard error when it cannot.
bool writeIcons(const std::string& outDir);
