#include "command/AutoCrop.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vellomar {

namespace {

// The value (R + G + B) div 3 of every palette index; 0 past the end.
std::array<uint8_t, 256> PaletteValues(const std::vector<TRgb>& palette) {
    std::array<uint8_t, 256> values{};
    for (size_t i = 0; i < palette.size() && i < values.size(); ++i)
        values[i] = uint8_t((palette[i].R + palette[i].G + palette[i].B) / 3);
    return values;
}

// Row y as one value a pixel.
void RowValues(const TBitmap& picture, int y, const std::array<uint8_t, 256>& paletteValues,
               std::vector<uint8_t>& out) {
    const uint8_t* in = picture.Row(y);
    const int width = picture.Width();
    switch (picture.Format()) {
    case TPixelFormat::Bw1:
        for (int x = 0; x < width; ++x) out[x] = (in[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        break;
    case TPixelFormat::Gray8:
        for (int x = 0; x < width; ++x) out[x] = in[x];
        break;
    case TPixelFormat::Palette8:
        for (int x = 0; x < width; ++x) out[x] = paletteValues[in[x]];
        break;
    case TPixelFormat::Rgb24:
        for (int x = 0; x < width; ++x) out[x] = uint8_t((in[3 * x] + in[3 * x + 1] + in[3 * x + 2]) / 3);
        break;
    }
}

// Whether each line's sum lies less than a sixth of the mean from the mean.
std::vector<bool> OrdinaryLines(const std::vector<int64_t>& sums, double mean) {
    std::vector<bool> ordinary(sums.size());
    for (size_t i = 0; i < sums.size(); ++i)
        ordinary[i] = std::fabs(double(sums[i]) - mean) < mean / kAutoCropTolerance;
    return ordinary;
}

// The first i counting up from 0 with lines i and i + 1 ordinary, else n - 1.
int FirstPairFromStart(const std::vector<bool>& ordinary) {
    const int n = int(ordinary.size());
    for (int i = 0; i <= n - 2; ++i)
        if (ordinary[i] && ordinary[i + 1]) return i;
    return n - 1;
}

// The first i counting down from n - 1 with lines i and i - 1 ordinary, else 0.
int FirstPairFromEnd(const std::vector<bool>& ordinary) {
    const int n = int(ordinary.size());
    for (int i = n - 1; i >= 1; --i)
        if (ordinary[i] && ordinary[i - 1]) return i;
    return 0;
}

}  // namespace

TCropBounds FindAutoCropBounds(const TBitmap& picture) {
    const int width = picture.Width();
    const int height = picture.Height();
    if (picture.IsEmpty()) return TCropBounds{0, 0, width - 1, height - 1};

    std::vector<int64_t> rowSums(size_t(height), 0);
    std::vector<int64_t> columnSums(size_t(width), 0);
    std::vector<uint8_t> values(static_cast<size_t>(width));
    const std::array<uint8_t, 256> paletteValues = PaletteValues(picture.Palette());
    int64_t total = 0;
    for (int y = 0; y < height; ++y) {
        RowValues(picture, y, paletteValues, values);
        int64_t rowSum = 0;
        for (int x = 0; x < width; ++x) {
            rowSum += values[x];
            columnSums[x] += values[x];
        }
        rowSums[y] = rowSum;
        total += rowSum;
    }
    const std::vector<bool> ordinaryColumns = OrdinaryLines(columnSums, double(total) / width);
    const std::vector<bool> ordinaryRows = OrdinaryLines(rowSums, double(total) / height);
    return TCropBounds{FirstPairFromStart(ordinaryColumns), FirstPairFromStart(ordinaryRows),
                       FirstPairFromEnd(ordinaryColumns), FirstPairFromEnd(ordinaryRows)};
}

}  // namespace vellomar
