// Cutting a rectangle out of a picture (crop, canvas resize) and making a
// picture of one colour.
#include <algorithm>
#include <cstring>

#include "picture/PixelConversion.h"
#include "picture/Transforms.h"

namespace vellomar {

namespace {

// One row of the target format filled with the background as near as the
// format can hold it.
void FillRow(const TBitmap& target, uint8_t* row, TColor background) {
    const TRgb bg = RgbOf(background);
    switch (target.Format()) {
    case TPixelFormat::Bw1: {
        if (GreyOf(bg) < 128) return;  // rows start black
        for (int x = 0; x < target.Width(); ++x) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        return;
    }
    case TPixelFormat::Gray8: std::memset(row, GreyOf(bg), size_t(target.Width())); return;
    case TPixelFormat::Palette8:
        std::memset(row, NearestPaletteIndex(target.Palette(), bg), size_t(target.Width()));
        return;
    case TPixelFormat::Rgb24:
        for (int x = 0; x < target.Width(); ++x) {
            row[3 * x] = bg.R;
            row[3 * x + 1] = bg.G;
            row[3 * x + 2] = bg.B;
        }
        return;
    }
}

void CopyBits(const uint8_t* from, int fromX, uint8_t* to, int toX, int count) {
    for (int i = 0; i < count; ++i) {
        const int s = fromX + i, d = toX + i;
        const uint8_t mask = uint8_t(0x80 >> (d & 7));
        if (from[s >> 3] & (0x80 >> (s & 7)))
            to[d >> 3] |= mask;
        else
            to[d >> 3] &= uint8_t(~mask);
    }
}

}  // namespace

TBitmap CopyRegion(const TBitmap& picture, int left, int top, int width, int height,
                   TColor background) {
    TBitmap result(width, height, picture.Format());
    result.Palette() = picture.Palette();
    result.IOParams() = picture.IOParams();
    if (picture.HasAlpha()) result.EnsureAlpha();
    // The overlap of the region with the picture, in picture coordinates.
    const int x0 = std::max(left, 0), x1 = std::min(left + width, picture.Width());
    const int y0 = std::max(top, 0), y1 = std::min(top + height, picture.Height());
    const bool covered = x0 == left && y0 == top && x1 == left + width && y1 == top + height;
    const size_t bytesPerPixel = size_t(picture.BitsPerPixel() / 8);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = result.Row(y);
        if (!covered) FillRow(result, out, background);
        const int sy = top + y;
        if (sy < y0 || sy >= y1 || x0 >= x1) continue;
        const uint8_t* in = picture.Row(sy);
        if (picture.Format() == TPixelFormat::Bw1)
            CopyBits(in, x0, out, x0 - left, x1 - x0);
        else
            std::memcpy(out + size_t(x0 - left) * bytesPerPixel, in + size_t(x0) * bytesPerPixel,
                        size_t(x1 - x0) * bytesPerPixel);
        if (picture.HasAlpha())
            std::memcpy(result.AlphaRow(y) + (x0 - left), picture.AlphaRow(sy) + x0,
                        size_t(x1 - x0));
    }
    return result;
}

TBitmap SolidPicture(int width, int height, TColor colour) {
    TBitmap result(width, height, TPixelFormat::Rgb24);
    for (int y = 0; y < height; ++y) FillRow(result, result.Row(y), colour);
    return result;
}

}  // namespace vellomar
