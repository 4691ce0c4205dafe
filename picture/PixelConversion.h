#pragma once
// Conversions between the pixel formats, row by row, for the operations and
// encoders that need a picture in one particular format.
#include <cstdint>
#include <vector>

#include "picture/Bitmap.h"

namespace vellomar {

// Row y of the picture as width × 3 bytes of red, green, blue.
void RowToRgb24(const TBitmap& picture, int y, uint8_t* out);
// Row y of the picture as width grey bytes (GreyOf for colours).
void RowToGray8(const TBitmap& picture, int y, uint8_t* out);

// The palette entry closest to c (squared RGB distance; the first of equals);
// 0 for an empty palette.
uint8_t NearestPaletteIndex(const std::vector<TRgb>& palette, TRgb c);

// The picture as Gray8 (alpha and I/O parameters kept).
TBitmap ToGray8(const TBitmap& picture);
// A Gray8 picture as Bw1: white where the grey value is at least threshold.
TBitmap ThresholdToBw1(const TBitmap& gray, uint8_t threshold = 128);

// Whether every palette entry is grey and entry i is (i, i, i).
bool IsGreyRamp(const std::vector<TRgb>& palette);

}  // namespace vellomar
