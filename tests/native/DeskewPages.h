#pragma once
// Small generated pages for the deskew and auto-crop tests: text-like lines
// of "words" on paper, turned by a known angle, optionally inside a dark
// scanner border; and pictures of random pixels in every format.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "picture/Bitmap.h"

namespace vellomar::testing {

struct TPageLayout {
    int Width = 200;
    int Height = 150;
    // The page is turned counter-clockwise by this many degrees, so its
    // lines climb to the right for a positive tilt.
    double TiltDegrees = 0;
    // Width of the dark band around the paper, turned with the page; 0 for
    // none.
    int Border = 0;
    TPixelFormat Format = TPixelFormat::Rgb24;
    int LinePitch = 12;
    int LineThickness = 5;
    int Margin = 16;
};

// The ink of the untilted page, one byte a pixel: lines of words whose
// lengths and gaps come from a generator seeded by the line number.
inline std::vector<uint8_t> InkOfPage(const TPageLayout& layout) {
    std::vector<uint8_t> ink(size_t(layout.Width) * size_t(layout.Height), 0);
    for (int line = 0;; ++line) {
        const int top = layout.Margin + line * layout.LinePitch;
        if (top + layout.LineThickness > layout.Height - layout.Margin) break;
        std::minstd_rand words(uint32_t(line * 7919 + 17));
        int x = layout.Margin + int(words() % 9);
        while (true) {
            const int length = 6 + int(words() % 22);
            const int end = std::min(x + length, layout.Width - layout.Margin);
            if (x >= end) break;
            for (int y = top; y < top + layout.LineThickness; ++y)
                std::fill(ink.begin() + size_t(y) * layout.Width + x, ink.begin() + size_t(y) * layout.Width + end, 1);
            x = end + 3 + int(words() % 5);
        }
    }
    return ink;
}

inline TBitmap TextPage(const TPageLayout& layout) {
    const std::vector<uint8_t> ink = InkOfPage(layout);
    TBitmap page(layout.Width, layout.Height, layout.Format);
    const double t = layout.TiltDegrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    const double cx = layout.Width / 2.0, cy = layout.Height / 2.0;
    for (int y = 0; y < layout.Height; ++y)
        for (int x = 0; x < layout.Width; ++x) {
            // Turn the pixel centre back clockwise onto the untilted page.
            const double px = x + 0.5 - cx, py = y + 0.5 - cy;
            const double u = px * c - py * s + cx, v = px * s + py * c + cy;
            const bool outside = u < layout.Border || v < layout.Border ||
                                 u >= layout.Width - layout.Border || v >= layout.Height - layout.Border;
            const bool onPage = u >= 0 && v >= 0 && u < layout.Width && v < layout.Height;
            TRgb colour{238, 234, 222};
            if (outside)
                colour = TRgb{22, 22, 26};
            else if (onPage && ink[size_t(v) * layout.Width + size_t(u)])
                colour = TRgb{30, 30, 70};
            page.SetPixel(x, y, colour);
        }
    return page;
}

// Random pixels; a Palette8 picture gets a random 40-entry palette.
inline TBitmap RandomPicture(int width, int height, TPixelFormat format, uint32_t seed) {
    TBitmap b(width, height, format);
    std::mt19937 random(seed);
    if (format == TPixelFormat::Palette8)
        for (int i = 0; i < 40; ++i)
            b.Palette().push_back(TRgb{uint8_t(random()), uint8_t(random()), uint8_t(random())});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, TRgb{uint8_t(random()), uint8_t(random()), uint8_t(random())});
    return b;
}

}  // namespace vellomar::testing
