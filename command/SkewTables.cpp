#include "command/SkewTables.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "command/RotatedRowProfile.h"
#include "command/SharedWork.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr int kCoarseShift = 5;  // P at every 32nd column
constexpr size_t kRowsPerTask = 256;

// The skew values of row y of a picture in a grey format, one byte a pixel.
void SkewValuesOfRow(const TBitmap& picture, size_t y, const std::array<uint8_t, 256>& paletteGreys,
                     uint8_t* out) {
    const uint8_t* in = picture.Row(int(y));
    const size_t width = size_t(picture.Width());
    switch (picture.Format()) {
    case TPixelFormat::Rgb24:
        for (size_t x = 0; x < width; ++x) out[x] = uint8_t(SkewGrey(in[3 * x], in[3 * x + 1], in[3 * x + 2]));
        break;
    case TPixelFormat::Palette8:
        for (size_t x = 0; x < width; ++x) out[x] = paletteGreys[in[x]];
        break;
    default: std::copy(in, in + width, out); break;
    }
}

size_t TasksFor(size_t rows) { return (rows + kRowsPerTask - 1) / kRowsPerTask; }

// A table of n entries that is written before it is read, left
// uninitialised: the fill then touches each fresh page once, on both
// threads, instead of a zeroing pass touching them all first.
template <typename T>
std::unique_ptr<T[]> UninitialisedTable(uint64_t n) {
    constexpr const char* kNoMemory = "Not enough memory to search the skew of the picture";
    if (n > std::numeric_limits<size_t>::max() / sizeof(T)) throw EVellomarError(kNoMemory);
    try {
        return std::unique_ptr<T[]>(new T[size_t(n)]);
    } catch (const std::bad_alloc&) {
        throw EVellomarError(kNoMemory);
    }
}

}  // namespace

TGreySkewTables::TGreySkewTables(const TBitmap& picture)
    : FWidth(size_t(picture.Width())),
      FCoarseLength((FWidth >> kCoarseShift) + 1),
      FBandSize((FWidth + 1 + 2 * size_t(kSpareColumns)) * kBandRows),
      FValues(UninitialisedTable<uint8_t>(uint64_t(FWidth) * uint64_t(picture.Height()))),
      FCoarse(UninitialisedTable<uint32_t>(uint64_t(FCoarseLength) * uint64_t(picture.Height()))) {
    const size_t height = size_t(picture.Height());
    const size_t bands = height > 1 ? (height - 1 + kBandRows - 1) / kBandRows : 0;
    // A spare page after the last band for the prefetches that overshoot it.
    constexpr size_t kPage = 4096 / sizeof(uint32_t);
    FStepStore = UninitialisedTable<uint32_t>(uint64_t(bands) * FBandSize + kPage);
    FSteps = FStepStore.get() + size_t(kSpareColumns) * kBandRows;
    const std::array<uint8_t, 256> paletteGreys = PaletteSkewGreys(picture.Palette());
    ShareAcrossTwoThreads(TasksFor(size_t(picture.Height())),
                          [&](size_t task) { FillRows(picture, paletteGreys, task); });
}

uint32_t TGreySkewTables::Prefix(int64_t y, int64_t x) const {
    const uint8_t* row = FValues.get() + size_t(y) * FWidth;
    uint32_t sum = FCoarse[size_t(y) * FCoarseLength + size_t(x >> kCoarseShift)];
    for (int64_t i = x & ~int64_t((1 << kCoarseShift) - 1); i < x; ++i) sum += row[i];
    return sum;
}

// Rows task × kRowsPerTask onwards, 16 at a time so that each cache line of
// steps is written whole. A task computes the skew values of the row after
// its own for its last steps but stores only its own rows, so tasks share
// nothing.
void TGreySkewTables::FillRows(const TBitmap& picture, const std::array<uint8_t, 256>& paletteGreys,
                               size_t task) {
    const size_t height = size_t(picture.Height());
    const size_t begin = task * kRowsPerTask;
    const size_t end = std::min(height, begin + kRowsPerTask);
    const size_t length = FWidth + 1;
    std::vector<uint32_t> prefixes(length * (kLineRows + 1));
    std::vector<uint8_t> spare(FWidth);
    // Row y's values and coarse sums, and its prefix sums in the given slot.
    auto prepare = [&](size_t y, size_t slot) {
        uint8_t* values = y < end ? FValues.get() + y * FWidth : spare.data();
        SkewValuesOfRow(picture, y, paletteGreys, values);
        uint32_t* prefix = prefixes.data() + slot * length;
        uint32_t sum = 0;
        prefix[0] = 0;
        for (size_t x = 0; x < FWidth; ++x) prefix[x + 1] = sum += values[x];
        if (y >= end) return;
        uint32_t* coarse = FCoarse.get() + y * FCoarseLength;
        for (size_t k = 0; k < FCoarseLength; ++k) coarse[k] = prefix[k << kCoarseShift];
    };
    prepare(begin, 0);
    for (size_t top = begin; top < end; top += kLineRows) {
        const size_t rows = std::min(kLineRows, end - top);
        for (size_t i = 1; i <= rows && top + i < height; ++i) prepare(top + i, i);
        const size_t steps = std::min(rows, height - 1 - top);
        for (size_t x = 0; x < length; ++x) {
            uint32_t* line = FSteps + StepIndex(top) + x * kBandRows;
            for (size_t i = 0; i < steps; ++i) line[i] = prefixes[i * length + x] - prefixes[(i + 1) * length + x];
        }
        std::copy(prefixes.begin() + rows * length, prefixes.begin() + (rows + 1) * length, prefixes.begin());
    }
}

TSetPixelSkewTables::TSetPixelSkewTables(const TBitmap& picture)
    : FLength(size_t(picture.Width()) / 8 + 1),
      FCounts(UninitialisedTable<uint32_t>(uint64_t(FLength) * uint64_t(picture.Height()))),
      FBits(UninitialisedTable<uint8_t>(uint64_t(FLength) * uint64_t(picture.Height()))) {
    ShareAcrossTwoThreads(TasksFor(size_t(picture.Height())), [&](size_t task) { FillRows(picture, task); });
}

void TSetPixelSkewTables::FillRows(const TBitmap& picture, size_t task) {
    const size_t usedBytes = (size_t(picture.Width()) + 7) / 8;
    const int tailBits = picture.Width() % 8;
    const size_t end = std::min(size_t(picture.Height()), (task + 1) * kRowsPerTask);
    for (size_t y = task * kRowsPerTask; y < end; ++y) {
        uint8_t* bits = FBits.get() + y * FLength;
        std::copy(picture.Row(int(y)), picture.Row(int(y)) + usedBytes, bits);
        std::fill(bits + usedBytes, bits + FLength, uint8_t(0));
        if (tailBits != 0) bits[usedBytes - 1] &= uint8_t(0xFF00 >> tailBits);
        uint32_t* counts = FCounts.get() + y * FLength;
        uint32_t count = 0;
        for (size_t i = 0; i < FLength; ++i) {
            counts[i] = count;
            count += kBitCounts[bits[i]];
        }
    }
}

}  // namespace vellomar
