#pragma once
// Rotation of a picture without interpolation: every target pixel takes the
// source pixel nearest to the point it comes from. The skew search scores
// such rotations; this is also its plain reference path.
//
// Conventions:
// - angles in degrees, positive counter-clockwise as the picture is seen
//   (x to the right, y down), the sense of the view's rotate: a quarter turn
//   counter-clockwise moves the top edge to the left side;
// - the target is the bounding box of the turned picture,
//     width  = ceil(W × |cos a| + H × |sin a|),
//     height = ceil(W × |sin a| + H × |cos a|),
//   computed from the fixed-point cosine and sine below, so that multiples of
//   90 degrees give exactly W × H or H × W;
// - pixel (x, y) is the unit square whose centre is (x + 1/2, y + 1/2); the
//   centre of the source, (W/2, H/2), lands on the centre of the target;
// - the nearest source pixel of a target pixel is the square that holds the
//   source point of the target pixel's centre (coordinates rounded down);
//   target pixels whose point falls outside the source are uncovered.
//
// Positions are exact integers in fixed point, so every user of
// TRotationGeometry (the rotation below and the row-sum walk of the skew
// search) picks exactly the same source pixels.
#include <cstdint>

#include "picture/Bitmap.h"

namespace vellomar {

class TRotationGeometry {
public:
    // Fractional bits of the cosine and sine.
    static constexpr int kFractionBits = 30;
    // Positions are numerators over 2^kPositionShift: half the fixed-point
    // unit, so that pixel centres (odd half pixels) are whole numbers.
    static constexpr int kPositionShift = kFractionBits + 1;
    static constexpr int64_t kPixel = int64_t(1) << kPositionShift;

    // Raises EVellomarError for a negative size or an angle that is not a
    // finite number. An empty source gives an empty target.
    TRotationGeometry(int sourceWidth, int sourceHeight, double angleDegrees);

    int SourceWidth() const { return FSourceWidth; }
    int SourceHeight() const { return FSourceHeight; }
    int TargetWidth() const { return FTargetWidth; }
    int TargetHeight() const { return FTargetHeight; }
    // cos a and sin a scaled by 2^kFractionBits and rounded.
    int64_t Cos() const { return FCos; }
    int64_t Sin() const { return FSin; }

    // Source position of the centre of target pixel (tx, ty), as numerators
    // over kPixel.
    int64_t SourceX(int64_t tx, int64_t ty) const;
    int64_t SourceY(int64_t tx, int64_t ty) const;
    // How the source position moves from one target column to the next.
    int64_t SourceXStep() const { return 2 * FCos; }
    int64_t SourceYStep() const { return 2 * FSin; }

    // The source pixel index of a position numerator (rounded down).
    static int64_t PixelOf(int64_t position) {
        return position >= 0 ? position >> kPositionShift : -((-position - 1) >> kPositionShift) - 1;
    }
    // The nearest source pixel of target pixel (tx, ty); false when the
    // target pixel is uncovered.
    bool NearestSource(int tx, int ty, int& sx, int& sy) const;

private:
    int FSourceWidth;
    int FSourceHeight;
    int FTargetWidth = 0;
    int FTargetHeight = 0;
    int64_t FCos = 0;
    int64_t FSin = 0;
};

// A rotated copy of the picture in the same pixel format, sized and sampled
// as TRotationGeometry says. Uncovered pixels are black: zero bytes for
// Rgb24 and Gray8, clear bits for Bw1, and for Palette8 a black palette
// entry (appended when the palette has none and has room, otherwise the
// darkest entry; the palette is unchanged when nothing is uncovered). An alpha plane is turned with the picture, uncovered
// pixels transparent. Raises EVellomarError when the target is too large.
TBitmap RotateNearest(const TBitmap& source, double angleDegrees);

}  // namespace vellomar
