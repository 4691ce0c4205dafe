#pragma once
// Row profiles of a picture turned by an angle, the measure that the skew
// search scores: for every row of the nearest-pixel rotation of the picture
// (picture/NearestRotation.h, the same box and the same source pixels) the
// sum of the skew values of its pixels.
//
// Skew value of a pixel:
// - Rgb24: the grey (21 R + 71 G + 8 B) div 100;
// - Gray8: the grey byte, which is what that formula gives for R = G = B;
// - Palette8: the formula on the palette colour (0 for an index past the end
//   of the palette);
// - Bw1: 1 for a set (white) pixel, 0 for a clear one, so a row's sum is the
//   number of its set pixels.
// Uncovered pixels of the rotation count 0 (black, clear). The alpha plane
// plays no part.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "picture/Bitmap.h"

namespace vellomar {

class TGreySkewTables;
class TSetPixelSkewTables;

constexpr int SkewGrey(uint8_t r, uint8_t g, uint8_t b) { return (21 * r + 71 * g + 8 * b) / 100; }

// The skew value of every palette index; 0 past the end of the palette.
std::array<uint8_t, 256> PaletteSkewGreys(const std::vector<TRgb>& palette);

// p[y] for every row y of the rotation, top to bottom.
using TRowProfile = std::vector<int64_t>;

// The plain path: really builds the rotated copy with RotateNearest (a
// Palette8 picture is first turned into a Gray8 plane of its skew values) and
// sums its rows. Slow; the reference that the fast path is checked against.
TRowProfile RowProfileByRotation(const TBitmap& picture, double angleDegrees);

// The fast path, giving exactly RowProfileByRotation for every angle.
//
// Why it is fast: no rotated copy is built. Along a row of the rotation the
// source position walks a straight line, so the row is a chain of runs, each
// inside one source row, in which the source column rises by one pixel per
// step except at the rare columns where nearest sampling takes a source
// pixel twice. With prefix sums P per source row a run from column a to b
// costs P[y][b + 1] - P[y][a]; and as each run starts where the last one
// ended, in the next source row, a row's sum telescopes into its two ends,
// its repeated columns and one table entry per source row boundary it
// crosses, P[y][x] - P[y + 1][x] at the crossing. The crossings of one
// boundary by successive rows of the rotation follow each other at a fixed
// rate, so they are stepped to boundary by boundary with integer additions
// only, and neighbouring boundaries read neighbouring table entries. A
// rotation by a costs about W × H × |tan a| such steps instead of the W × H
// pixels of a rotated copy.
//
// Building the object fills the tables of command/SkewTables.h once (for
// the grey formats about 5 bytes a pixel, for Bw1 5 bytes per 8 pixels),
// sharing the rows between two threads; Profile may then be called from
// several threads at once. The picture must outlive the object.
class TRotatedRowProfiler {
public:
    explicit TRotatedRowProfiler(const TBitmap& picture);
    ~TRotatedRowProfiler();
    TRowProfile Profile(double angleDegrees) const;

private:
    const TBitmap& FPicture;
    std::unique_ptr<const TGreySkewTables> FGrey;            // all formats but Bw1
    std::unique_ptr<const TSetPixelSkewTables> FSetPixels;  // Bw1
};

}  // namespace vellomar
