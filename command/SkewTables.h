#pragma once
// The tables that the row-profile walk of the skew search reads
// (command/RotatedRowProfile.cpp), built once per picture and then only
// read, from both threads.
//
// P[y][x] below is the sum of the skew values of columns 0 .. x - 1 of
// source row y (command/RotatedRowProfile.h says how pixels are valued);
// sums are kept modulo 2^32, which is exact for any row of a rotation.
// Both tables give P, single values, and the steps S[y][x] =
// P[y][x] - P[y + 1][x] for every source row y but the last, read one
// source row at a time (StepRow).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "picture/Bitmap.h"

namespace vellomar {

// The rows ahead that the walk prefetches steps for.
constexpr int64_t kPrefetchRows = 16;
// Spare columns on each side of the grey step table, so that a prefetch may
// aim a little aside of the columns that exist.
constexpr int64_t kSpareColumns = 3;

// Tables of a picture in a grey format (all but Bw1): the skew values, one
// byte a pixel; P at every 32nd column; and the steps.
//
// The walk reads the steps of one source row at the columns where rows of
// the rotation cross into the next source row; the next source row is read
// at nearly the same columns. Stored row by row, each of those reads would
// load a cache line of its own. So the steps are stored in bands of 128
// rows, column by column: a cache line holds 16 rows of one column, and the
// next 15 source rows find their steps in the lines this one loaded.
class TGreySkewTables {
public:
    explicit TGreySkewTables(const TBitmap& picture);

    uint32_t Prefix(int64_t y, int64_t x) const;
    uint32_t Value(int64_t y, int64_t x) const { return FValues[size_t(y) * FWidth + size_t(x)]; }

    // The steps of one source row.
    class TStepRow {
    public:
        TStepRow(const uint32_t* row, const uint32_t* ahead) : FRow(row), FAhead(ahead) {}
        uint32_t At(int64_t x) const { return FRow[ptrdiff_t(x) * ptrdiff_t(kBandRows)]; }
        // Where the step kPrefetchRows rows lower and drift columns aside of
        // x lies, drift given to StepRow. Near the foot of a band that is a
        // step of the next column instead: a wasted prefetch, cheaper than
        // the branch that would avoid it. The spare columns and a spare page
        // keep the address inside the table.
        const void* Ahead(int64_t x) const { return FAhead + ptrdiff_t(x) * ptrdiff_t(kBandRows); }

    private:
        const uint32_t* FRow;
        const uint32_t* FAhead;
    };
    static constexpr bool kPrefetched = true;
    TStepRow StepRow(int64_t y, int64_t drift) const {
        const uint32_t* row = FSteps + StepIndex(size_t(y));
        return TStepRow(row, row + (kPrefetchRows + drift * ptrdiff_t(kBandRows)));
    }

private:
    static constexpr size_t kBandRows = 128;
    static constexpr size_t kLineRows = 16;  // 64 bytes, a cache line
    // The index of the step of row y in column 0.
    size_t StepIndex(size_t y) const { return (y / kBandRows) * FBandSize + y % kBandRows; }
    void FillRows(const TBitmap& picture, const std::array<uint8_t, 256>& paletteGreys, size_t task);

    size_t FWidth;
    size_t FCoarseLength;
    size_t FBandSize;  // steps in a band, spare columns included
    std::unique_ptr<uint8_t[]> FValues;
    std::unique_ptr<uint32_t[]> FCoarse;
    std::unique_ptr<uint32_t[]> FStepStore;
    uint32_t* FSteps = nullptr;  // column 0 of the first band, inside FStepStore
};

// Tables of a Bw1 picture, whose skew value is 1 for a set pixel: the row's
// bytes (padding bits cleared, a spare byte at the end) and the set pixels
// before each byte. A step is two prefix counts: the tables are small
// enough (about 5 bytes per 8 pixels) for the caches to keep up without a
// step table or prefetches.
class TSetPixelSkewTables {
public:
    explicit TSetPixelSkewTables(const TBitmap& picture);

    uint32_t Prefix(int64_t y, int64_t x) const {
        const size_t at = size_t(y) * FLength + size_t(x >> 3);
        return FCounts[at] + BitsBefore(FBits[at], x);
    }
    uint32_t Value(int64_t y, int64_t x) const {
        return (FBits[size_t(y) * FLength + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
    }

    class TStepRow {
    public:
        TStepRow(const uint32_t* counts, const uint8_t* bits, size_t length)
            : FCounts(counts), FBits(bits), FLength(length) {}
        uint32_t At(int64_t x) const {
            const size_t k = size_t(x >> 3);
            return FCounts[k] - FCounts[k + FLength] + BitsBefore(FBits[k], x) - BitsBefore(FBits[k + FLength], x);
        }
        const void* Ahead(int64_t) const { return nullptr; }

    private:
        const uint32_t* FCounts;
        const uint8_t* FBits;
        size_t FLength;
    };
    static constexpr bool kPrefetched = false;
    TStepRow StepRow(int64_t y, int64_t) const {
        return TStepRow(FCounts.get() + size_t(y) * FLength, FBits.get() + size_t(y) * FLength, FLength);
    }

    // The set pixels of each byte value.
    static constexpr std::array<uint8_t, 256> kBitCounts = [] {
        std::array<uint8_t, 256> counts{};
        for (int i = 0; i < 256; ++i)
            for (int v = i; v != 0; v >>= 1) counts[size_t(i)] += uint8_t(v & 1);
        return counts;
    }();
    // The set pixels of a row's byte that lie before column x.
    static uint32_t BitsBefore(uint8_t bits, int64_t x) { return kBitCounts[bits & uint8_t(0xFF00 >> (x & 7))]; }

private:
    void FillRows(const TBitmap& picture, size_t task);

    size_t FLength;  // bytes a row, with the spare one
    std::unique_ptr<uint32_t[]> FCounts;
    std::unique_ptr<uint8_t[]> FBits;
};

}  // namespace vellomar
