#pragma once
// The content rectangle of AutoCrop: the bounds inside the dark scanner
// borders (and inside margins that differ much from the page's average).
//
// With the tolerance kAutoCropTolerance = 6, every pixel is valued
// (R + G + B) div 3; a column is ordinary when its sum lies less than
// avgCol / 6 from the mean of all column sums, a row likewise. Left is the
// first column from the left that starts a pair of ordinary columns (x and
// x + 1), right the first from the right (x and x - 1); top and bottom the
// same with rows.
//
// Pixel values per format: Rgb24 as above; Gray8 the grey byte (which the
// formula gives for R = G = B); Palette8 the formula on the palette colour
// (0 for an index past the end of the palette); Bw1 255 for a set (white)
// pixel and 0 for a clear (black) one.
#include "picture/Bitmap.h"

namespace vellomar {

constexpr int kAutoCropTolerance = 6;

// Inclusive corners (Left, Top) and (Right, Bottom).
//
// When no pair of ordinary lines is found from a side, that bound takes the
// far end: Left = width - 1, Right = 0, Top = height - 1, Bottom = 0. Bounds
// that cross (Left > Right or Top > Bottom, as on an all-black page, whose
// average is 0 so that no line is ordinary) name no content: the picture is
// to be left unchanged. An empty picture gives 0, 0, width - 1, height - 1,
// which cross as well.
struct TCropBounds {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Cross() const { return Left > Right || Top > Bottom; }
    friend bool operator==(const TCropBounds& a, const TCropBounds& b) {
        return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
    }
};

TCropBounds FindAutoCropBounds(const TBitmap& picture);

}  // namespace vellomar
