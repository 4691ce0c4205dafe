#pragma once
// Geometric operations on whole pictures. Each builds its result in a new
// bitmap and leaves the source untouched, so a failure (EVellomarError, for
// example when memory runs out) changes nothing. Angles are in degrees,
// positive counter-clockwise as seen on screen.
#include "picture/Bitmap.h"

namespace vellomar {

// Exact turn by quarterTurns × 90 degrees counter-clockwise (any integer,
// negative turns clockwise) in every pixel format, alpha plane included.
// One quarter turn moves the top edge to the left side, read right to left
// from the top.
TBitmap RotateQuarterTurns(const TBitmap& picture, int quarterTurns);

// Turn by any angle with bilinear interpolation into the bounding box of the
// turned picture; pixels that no source pixel covers take 'background'
// (opaque where there is an alpha plane). Gray8 and Rgb24 are resampled as
// they are. A Bw1 picture is resampled in grey and thresholded back to Bw1
// at 128, so a scanned page stays 1-bit. A Palette8 picture becomes Rgb24,
// because interpolated colours are not in its palette. Work is split over
// the machine's cores.
TBitmap RotateBilinear(const TBitmap& picture, double angle, TColor background);

// The width × height region of the picture whose top-left corner is at
// (left, top) in the picture's coordinates; either may be negative and the
// region may reach beyond the picture, where it takes 'background' (opaque
// alpha). Format, palette and I/O parameters are kept.
TBitmap CopyRegion(const TBitmap& picture, int left, int top, int width, int height,
                   TColor background);

// A width × height Rgb24 picture of one colour, without alpha.
TBitmap SolidPicture(int width, int height, TColor colour);

}  // namespace vellomar
