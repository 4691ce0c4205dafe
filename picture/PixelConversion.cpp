#include "picture/PixelConversion.h"

#include <algorithm>

#include "platform/VellomarError.h"

namespace vellomar {

void RowToRgb24(const TBitmap& picture, int y, uint8_t* out) {
    const uint8_t* row = picture.Row(y);
    const int width = picture.Width();
    switch (picture.Format()) {
    case TPixelFormat::Bw1:
        for (int x = 0; x < width; ++x) {
            const uint8_t v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            out[0] = out[1] = out[2] = v;
            out += 3;
        }
        break;
    case TPixelFormat::Gray8:
        for (int x = 0; x < width; ++x) {
            out[0] = out[1] = out[2] = row[x];
            out += 3;
        }
        break;
    case TPixelFormat::Palette8: {
        // A full table so that indices beyond the palette read as black.
        TRgb table[256] = {};
        const auto& palette = picture.Palette();
        for (size_t i = 0; i < palette.size() && i < 256; ++i) table[i] = palette[i];
        for (int x = 0; x < width; ++x) {
            const TRgb c = table[row[x]];
            out[0] = c.R;
            out[1] = c.G;
            out[2] = c.B;
            out += 3;
        }
        break;
    }
    case TPixelFormat::Rgb24:
        std::copy(row, row + size_t(width) * 3, out);
        break;
    }
}

void RowToGray8(const TBitmap& picture, int y, uint8_t* out) {
    const uint8_t* row = picture.Row(y);
    const int width = picture.Width();
    switch (picture.Format()) {
    case TPixelFormat::Bw1:
        for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        break;
    case TPixelFormat::Gray8:
        std::copy(row, row + width, out);
        break;
    case TPixelFormat::Palette8: {
        uint8_t table[256] = {};
        const auto& palette = picture.Palette();
        for (size_t i = 0; i < palette.size() && i < 256; ++i) table[i] = GreyOf(palette[i]);
        for (int x = 0; x < width; ++x) out[x] = table[row[x]];
        break;
    }
    case TPixelFormat::Rgb24:
        for (int x = 0; x < width; ++x, row += 3) out[x] = GreyOf(TRgb{row[0], row[1], row[2]});
        break;
    }
}

uint8_t NearestPaletteIndex(const std::vector<TRgb>& palette, TRgb c) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        const long dr = long(palette[i].R) - c.R, dg = long(palette[i].G) - c.G,
                   db = long(palette[i].B) - c.B;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return uint8_t(best);
}

TBitmap ToGray8(const TBitmap& picture) {
    TBitmap result(picture.Width(), picture.Height(), TPixelFormat::Gray8);
    for (int y = 0; y < picture.Height(); ++y) RowToGray8(picture, y, result.Row(y));
    result.Alpha() = picture.Alpha();
    result.IOParams() = picture.IOParams();
    return result;
}

TBitmap ThresholdToBw1(const TBitmap& gray, uint8_t threshold) {
    if (gray.Format() != TPixelFormat::Gray8)
        throw EVellomarError("ThresholdToBw1 needs an 8-bit grey picture");
    TBitmap result(gray.Width(), gray.Height(), TPixelFormat::Bw1);
    for (int y = 0; y < gray.Height(); ++y) {
        const uint8_t* in = gray.Row(y);
        uint8_t* out = result.Row(y);
        for (int x = 0; x < gray.Width(); ++x)
            if (in[x] >= threshold) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
    result.Alpha() = gray.Alpha();
    result.IOParams() = gray.IOParams();
    return result;
}

bool IsGreyRamp(const std::vector<TRgb>& palette) {
    for (size_t i = 0; i < palette.size(); ++i)
        if (palette[i] != TRgb{uint8_t(i), uint8_t(i), uint8_t(i)}) return false;
    return true;
}

}  // namespace vellomar
