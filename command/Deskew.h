#pragma once
// The skew-angle search of Correction: the turn that makes the text lines of
// a scanned page horizontal, tried on the whole picture at full size.
//
// Angles are in degrees, positive counter-clockwise (picture/NearestRotation.h).
// The result is the turn that straightens the page, so a page whose lines
// climb to the right (turned counter-clockwise) gives a negative angle.
//
// Each candidate angle a is scored on the row profile of the nearest-pixel
// rotation of the picture by a (command/RotatedRowProfile.h, which also says
// how each pixel format is valued): the profile is normalised to
// Trunc(p / max × 1000) when max ≠ 0, and the score is the sum of the
// squared differences of neighbouring rows. Sharp steps between text lines
// and gaps score high.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "command/RotatedRowProfile.h"
#include "picture/Bitmap.h"

namespace vellomar {

// The 101 candidates in the order they are tried: 0, then -0.1, -0.2 ...
// down to -5, then 0.1 ... up to 5. Each side is stepped by repeated
// subtraction (addition) of 0.1 in double while the magnitude stays below 5;
// the accumulated rounding makes the last step land a hair inside 5
// (4.999999999999998), so ±5 is tried.
std::vector<double> SkewCandidates();

// Trunc of the sum over y of (q[y + 1] - q[y])², q the normalised profile.
int64_t ProfileScore(const TRowProfile& profile);

// The index of the winning score: a later score replaces the best only when
// strictly higher and the best starts at 0, so ties go to the earlier
// candidate and all-zero scores give index 0 (the angle 0).
size_t BestCandidate(const std::vector<int64_t>& scores);

// The score of every candidate of SkewCandidates(), in that order. The fast
// path shares the candidates between the calling thread and one helper.
std::vector<int64_t> SkewScores(const TBitmap& picture);
// The plain path: for each candidate really rotates the whole picture with
// RotateNearest, then scores it. Gives exactly SkewScores; for tests and
// benchmarks.
std::vector<int64_t> SkewScoresReference(const TBitmap& picture);

// The winning candidate. Raises EVellomarError when the memory for the work
// cannot be had.
double FindSkewAngle(const TBitmap& picture);
double FindSkewAngleReference(const TBitmap& picture);

}  // namespace vellomar
