#include "picture/NearestRotation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The box side ceil((a × |c| + b × |s|) / 2^kFractionBits).
int64_t BoxSide(int64_t a, int64_t b, int64_t c, int64_t s) {
    const int64_t unit = int64_t(1) << TRotationGeometry::kFractionBits;
    return (a * std::llabs(c) + b * std::llabs(s) + unit - 1) / unit;
}

uint8_t BlackPaletteIndex(std::vector<TRgb>& palette) {
    size_t darkest = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        const TRgb& c = palette[i];
        if (c == TRgb{}) return uint8_t(i);
        const TRgb& d = palette[darkest];
        if (c.R + c.G + c.B < d.R + d.G + d.B) darkest = i;
    }
    if (palette.size() < 256) {
        palette.push_back(TRgb{});
        return uint8_t(palette.size() - 1);
    }
    return uint8_t(darkest);
}

bool BitAt(const uint8_t* row, int x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; }

}  // namespace

TRotationGeometry::TRotationGeometry(int sourceWidth, int sourceHeight, double angleDegrees)
    : FSourceWidth(sourceWidth), FSourceHeight(sourceHeight) {
    if (!std::isfinite(angleDegrees))
        throw EVellomarError("The rotation angle is not a number");
    if (sourceWidth < 0 || sourceHeight < 0 || sourceWidth > kMaxPictureDimension ||
        sourceHeight > kMaxPictureDimension)
        throw EVellomarError("Cannot rotate a picture of " + std::to_string(sourceWidth) + " x " +
                             std::to_string(sourceHeight) + " pixels");
    const double radians = angleDegrees * kPi / 180.0;
    const double unit = double(int64_t(1) << kFractionBits);
    FCos = std::llround(std::cos(radians) * unit);
    FSin = std::llround(std::sin(radians) * unit);
    if (sourceWidth == 0 || sourceHeight == 0) return;
    // Both sides stay below 2^21 since the source sides are at most 2^20.
    FTargetWidth = int(BoxSide(sourceWidth, sourceHeight, FCos, FSin));
    FTargetHeight = int(BoxSide(sourceWidth, sourceHeight, FSin, FCos));
}

// The target centre (tx + 1/2, ty + 1/2) relative to the target's centre is
// (u, v) / 2 with u = 2tx + 1 - W', v = 2ty + 1 - H'. Turning it back
// clockwise by a and moving it to the source centre (W/2, H/2) gives
//   x = (u cos a - v sin a) / 2 + W/2,  y = (u sin a + v cos a) / 2 + H/2,
// here multiplied by 2^(kFractionBits + 1).
int64_t TRotationGeometry::SourceX(int64_t tx, int64_t ty) const {
    const int64_t u = 2 * tx + 1 - FTargetWidth;
    const int64_t v = 2 * ty + 1 - FTargetHeight;
    return u * FCos - v * FSin + (int64_t(FSourceWidth) << kFractionBits);
}

int64_t TRotationGeometry::SourceY(int64_t tx, int64_t ty) const {
    const int64_t u = 2 * tx + 1 - FTargetWidth;
    const int64_t v = 2 * ty + 1 - FTargetHeight;
    return u * FSin + v * FCos + (int64_t(FSourceHeight) << kFractionBits);
}

bool TRotationGeometry::NearestSource(int tx, int ty, int& sx, int& sy) const {
    const int64_t x = PixelOf(SourceX(tx, ty));
    const int64_t y = PixelOf(SourceY(tx, ty));
    if (x < 0 || y < 0 || x >= FSourceWidth || y >= FSourceHeight) return false;
    sx = int(x);
    sy = int(y);
    return true;
}

TBitmap RotateNearest(const TBitmap& source, double angleDegrees) {
    const TRotationGeometry geometry(source.Width(), source.Height(), angleDegrees);
    TBitmap target(geometry.TargetWidth(), geometry.TargetHeight(), source.Format());
    target.IOParams() = source.IOParams();
    if (target.IsEmpty()) return target;
    target.Palette() = source.Palette();
    const TPixelFormat format = source.Format();
    // A palette picture gets its black entry only when some pixel is uncovered.
    int paletteFill = -1;
    if (source.HasAlpha()) {
        target.EnsureAlpha();
        std::fill(target.Alpha().begin(), target.Alpha().end(), uint8_t(0));
    }

    for (int ty = 0; ty < target.Height(); ++ty) {
        uint8_t* out = target.Row(ty);
        for (int tx = 0; tx < target.Width(); ++tx) {
            int sx = 0, sy = 0;
            if (!geometry.NearestSource(tx, ty, sx, sy)) {
                if (format == TPixelFormat::Palette8) {
                    if (paletteFill < 0) paletteFill = BlackPaletteIndex(target.Palette());
                    out[tx] = uint8_t(paletteFill);
                }
                continue;
            }
            const uint8_t* in = source.Row(sy);
            switch (format) {
            case TPixelFormat::Bw1:
                if (BitAt(in, sx)) out[tx >> 3] |= uint8_t(0x80 >> (tx & 7));
                break;
            case TPixelFormat::Gray8:
            case TPixelFormat::Palette8: out[tx] = in[sx]; break;
            case TPixelFormat::Rgb24:
                out[3 * size_t(tx)] = in[3 * size_t(sx)];
                out[3 * size_t(tx) + 1] = in[3 * size_t(sx) + 1];
                out[3 * size_t(tx) + 2] = in[3 * size_t(sx) + 2];
                break;
            }
            if (source.HasAlpha()) target.AlphaRow(ty)[tx] = source.AlphaRow(sy)[sx];
        }
    }
    return target;
}

}  // namespace vellomar
