#pragma once
// Inputs for the picture engine's benchmarks: A4 pages at 300 dpi.
#include <cstdint>
#include <string>

#include "picture/Bitmap.h"

namespace vellomar::bench {

constexpr int kA4Width = 2480;
constexpr int kA4Height = 3508;

// A scanned colour page: off-white paper with a little sensor noise, dark
// text-like strokes in lines, and a colour photograph in the upper half.
TBitmap MakeColourDocumentPage(uint32_t seed = 1);
// The worst case for packing: noise in every pixel.
TBitmap MakeNoisePage(uint32_t seed = 1);

// A folder for the benchmark's files, made once per run.
const std::string& PictureBenchFolder();

}  // namespace vellomar::bench
