#pragma once
// The inscribed-rectangle search of the rotate-and-crop operation: after a
// width × height picture is turned by an angle, the size of the upright
// rectangle that the centred crop keeps.
//
// The search is defined as this double loop: with t = |angle| × π / 180,
// cs = cos t, sn = sin t and D = Trunc(√(W² + H²)), for i from 1 to D and,
// for each i, j from 1 to D, v = Trunc(i × cs + j × sn) and
// w = Trunc(j × cs + i × sn); the answer is the first (i, j) with v one of
// W - 1, W, W + 1 and w one of H - 1, H, H + 1. A straight page (angle 0)
// gives W - 1 by H - 1.
namespace vellomar {

// The first (i, j) of the loop above in innerWidth and innerHeight; false,
// outputs untouched, when the loop finds none or the angle is not a finite
// number. Raises EVellomarError for a negative size or one above
// kMaxPictureDimension (picture/Bitmap.h).
//
// Gives exactly the loop's answer in about D × log D steps instead of up to
// D²: for a fixed i, v and w are monotone in j (each is Trunc of a rounded
// sum whose j term only grows or only shrinks, by the signs of sn and cs),
// so the j with v in range, and among them those with w in range, are
// spans found by binary search; the first j of the second span is the loop's.
bool FindInscribedRectangle(int width, int height, double angleDegrees, int& innerWidth,
                            int& innerHeight);

// The double loop as written; for tests and benchmarks.
bool FindInscribedRectangleReference(int width, int height, double angleDegrees, int& innerWidth,
                                     int& innerHeight);

}  // namespace vellomar
