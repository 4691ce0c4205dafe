#pragma once
// Pictures with fixed-seed content in every pixel format, for the picture
// engine's tests.
#include <cstdint>
#include <random>
#include <string>

#include "picture/Bitmap.h"

namespace vellomar::testing {

// The kinds of picture the identities and round trips run over.
enum class TSampleKind { Bw1, Gray8, Palette8, Rgb24, Rgb24Alpha, Gray8Alpha };

inline const char* SampleKindName(TSampleKind kind) {
    switch (kind) {
    case TSampleKind::Bw1: return "Bw1";
    case TSampleKind::Gray8: return "Gray8";
    case TSampleKind::Palette8: return "Palette8";
    case TSampleKind::Rgb24: return "Rgb24";
    case TSampleKind::Rgb24Alpha: return "Rgb24Alpha";
    case TSampleKind::Gray8Alpha: return "Gray8Alpha";
    }
    return "?";
}

inline TPixelFormat FormatOf(TSampleKind kind) {
    switch (kind) {
    case TSampleKind::Bw1: return TPixelFormat::Bw1;
    case TSampleKind::Gray8:
    case TSampleKind::Gray8Alpha: return TPixelFormat::Gray8;
    case TSampleKind::Palette8: return TPixelFormat::Palette8;
    default: return TPixelFormat::Rgb24;
    }
}

// Random pixels from a fixed seed; palettes of 16 random colours; alpha
// random too. Padding stays zero as the bitmap requires.
inline TBitmap SamplePicture(TSampleKind kind, int width, int height, uint32_t seed = 7) {
    std::mt19937 random(seed);
    TBitmap b(width, height, FormatOf(kind));
    if (kind == TSampleKind::Palette8)
        for (int i = 0; i < 16; ++i)
            b.Palette().push_back(TRgb{uint8_t(random()), uint8_t(random()), uint8_t(random())});
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.Row(y);
        for (int x = 0; x < width; ++x) {
            switch (kind) {
            case TSampleKind::Bw1:
                if (random() & 1) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
                break;
            case TSampleKind::Palette8: row[x] = uint8_t(random() % 16); break;
            case TSampleKind::Gray8:
            case TSampleKind::Gray8Alpha: row[x] = uint8_t(random()); break;
            default:
                for (int c = 0; c < 3; ++c) row[3 * x + c] = uint8_t(random());
            }
        }
    }
    if (kind == TSampleKind::Rgb24Alpha || kind == TSampleKind::Gray8Alpha) {
        b.EnsureAlpha();
        for (auto& a : b.Alpha()) a = uint8_t(random());
    }
    return b;
}

// Every pixel equal through GetPixel (formats may differ).
inline bool SameColours(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
}

}  // namespace vellomar::testing
