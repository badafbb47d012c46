#include "platform/picture_rect.h"

#include <cstdint>

PictureRect centredPictureRect(int width, int height) {
    if (width <= 0 || height <= 0) return PictureRect{};
    PictureRect rect;
    // Whole pixels, rounded down, so that the rectangle always fits.
    if (int64_t(width) * 3 > int64_t(height) * 4) {
        rect.height = height;
        rect.width = int(int64_t(height) * 4 / 3);
    } else {
        rect.width = width;
        rect.height = int(int64_t(width) * 3 / 4);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

bool hasBars(const PictureRect& rect, int width, int height) {
    return rect.x > 0 || rect.y > 0 || rect.width < width || rect.height < height;
}
