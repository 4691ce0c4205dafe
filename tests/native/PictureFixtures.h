#pragma once
// Small pictures made in the tests.
#include "picture/Bitmap.h"

namespace vellomar::testing {

// A colour picture whose every pixel tells its own position.
inline TBitmap PositionPicture(int width, int height) {
    TBitmap b(width, height, TPixelFormat::Rgb24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, TRgb{uint8_t(x * 7), uint8_t(y * 11), uint8_t(x + y)});
    return b;
}

inline TBitmap FilledPicture(int width, int height, TRgb colour) {
    TBitmap b(width, height, TPixelFormat::Rgb24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, colour);
    return b;
}

// White paper framed by a black border.
inline TBitmap PageWithBorder(int width, int height, int border) {
    TBitmap b = FilledPicture(width, height, TRgb{255, 255, 255});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inBorder = x < border || y < border || x >= width - border || y >= height - border;
            if (inBorder) b.SetPixel(x, y, TRgb{0, 0, 0});
        }
    return b;
}

// White paper with dark horizontal bars of 2 rows every 8 rows, like lines
// of text on a straight scan.
inline TBitmap BarredPage(int width, int height) {
    TBitmap b = FilledPicture(width, height, TRgb{255, 255, 255});
    for (int y = 4; y + 1 < height; y += 8)
        for (int row = y; row < y + 2; ++row)
            for (int x = 2; x < width - 2; ++x) b.SetPixel(x, row, TRgb{40, 40, 40});
    return b;
}

}  // namespace vellomar::testing
