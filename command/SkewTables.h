#pragma once
// The tables that the row-profile walk of the skew search reads
// (command/RotatedRowProfile.cpp), built once per picture and then only
// read, from both threads.
//
// P[y][x] below is the sum of the skew values of columns 0 .. x - 1 of
// source row y (command/RotatedRowProfile.h says how pixels are valued);
// sums are kept modulo 2^32, which is exact for any row of a rotation.
//
// Both tables hold a step table: for every source row y but the last and
// every column x, what the walk adds when a run ends at x in row y and the
// next starts in row y + 1, P[y][x] - P[y + 1][x]. It is read in an order
// that follows each run end from one row of the rotation to the next one
// source row lower and at most a pixel aside. Stored row by row, every run
// of every row would load a cache line and often a page of its own. So the
// step table is stored in bands of 128 rows, column by column: a cache line
// holds several rows of one column and a 4 KB page several columns of a
// band, and the next row of the rotation finds most of its steps in the
// lines and pages the row before it used. The walk also prefetches the line
// each run end will reach kPrefetchRows rows of the rotation later.
//
// Steps are addressed by a handle of their row (Handle, Below, Above,
// RowOf) and a column, which may lie up to kSpareColumns before column 0 or
// after the last for prefetch addresses only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "picture/Bitmap.h"

namespace vellomar {

constexpr size_t kPrefetchRows = 16;
constexpr int64_t kSpareColumns = 2;

// A table of n entries that is written before it is read, left
// uninitialised: the fill then touches each fresh page once, on both
// threads, instead of a zeroing pass touching them all first. Raises
// EVellomarError when the memory cannot be had.
template <typename T>
std::unique_ptr<T[]> UninitialisedTable(size_t n);

// Entries of rows × columns in the band layout, left uninitialised (every
// entry that is read is written first).
template <typename TEntry>
class TBandTable {
public:
    static constexpr size_t kBandRows = 128;
    static constexpr size_t kPageEntries = 4096 / sizeof(TEntry);

    TBandTable(size_t rows, size_t columns) {
        const size_t pageColumns = kPageEntries / kBandRows;
        const size_t width = (2 * size_t(kSpareColumns) + columns + pageColumns - 1) / pageColumns * pageColumns;
        FBandSize = width * kBandRows;
        const size_t bands = (rows + kBandRows - 1) / kBandRows;
        // A page to start on a page boundary, one for the prefetches past the end.
        FStore = UninitialisedTable<TEntry>(bands * FBandSize + 2 * kPageEntries);
        const size_t misalignment = reinterpret_cast<uintptr_t>(FStore.get()) / sizeof(TEntry) % kPageEntries;
        FEntries = FStore.get() + (kPageEntries - misalignment) % kPageEntries + size_t(kSpareColumns) * kBandRows;
    }

    // Reads the table; a small value, so that the walk keeps it in registers.
    class TView {
    public:
        size_t Handle(size_t y) const { return (y / kBandRows) * FBandSize + y % kBandRows; }
        int64_t RowOf(size_t handle) const { return int64_t(handle / FBandSize * kBandRows + handle % kBandRows); }
        size_t Below(size_t handle) const {
            return handle % kBandRows == kBandRows - 1 ? handle + FBandSize - (kBandRows - 1) : handle + 1;
        }
        size_t Above(size_t handle) const {
            return handle % kBandRows == 0 ? handle - FBandSize + (kBandRows - 1) : handle - 1;
        }
        const TEntry& At(size_t handle, int64_t column) const { return FEntries[handle + size_t(column) * kBandRows]; }
        // The entry kPrefetchRows below and drift columns aside of (handle,
        // column), drift given to the view. Near the foot of a band that is
        // an entry of the next column instead: a wasted prefetch, which
        // costs less than the branch that would avoid it. Spare columns and
        // a spare page keep the address inside the table.
        const TEntry* Ahead(size_t handle, int64_t column) const {
            return FAhead + (ptrdiff_t(handle) + ptrdiff_t(column) * ptrdiff_t(kBandRows));
        }

    private:
        friend class TBandTable;
        TView(const TEntry* entries, size_t bandSize, int64_t drift)
            : FEntries(entries),
              FAhead(entries + (ptrdiff_t(kPrefetchRows) + ptrdiff_t(drift) * ptrdiff_t(kBandRows))),
              FBandSize(bandSize) {}
        const TEntry* FEntries;
        const TEntry* FAhead;
        size_t FBandSize;
    };

    // drift, between -kSpareColumns and kSpareColumns, aims the prefetches.
    TView View(int64_t drift = 0) const { return TView(FEntries, FBandSize, drift); }
    // Entry (y, column) for filling; the entries of rows y + 1 ... of the same
    // band and column follow it.
    TEntry* Entry(size_t y, size_t column) { return &FEntries[View().Handle(y) + column * kBandRows]; }

private:
    size_t FBandSize;  // entries of one band
    std::unique_ptr<TEntry[]> FStore;
    TEntry* FEntries = nullptr;  // column 0 of the first band, inside FStore on a page's column
};

// Tables of a picture in a grey format (all but Bw1): the skew values, one
// byte a pixel; P at every 32nd column; and the steps.
class TGreySkewTables {
public:
    explicit TGreySkewTables(const TBitmap& picture);

    // P[y][x].
    uint32_t Prefix(int64_t y, int64_t x) const;
    uint32_t Value(int64_t y, int64_t x) const { return FValues[size_t(y) * FWidth + size_t(x)]; }

    // The steps, P[y][x] - P[y + 1][x] for the handle of row y.
    class TSteps {
    public:
        static constexpr bool kPrefetched = true;
        explicit TSteps(TBandTable<uint32_t>::TView table) : FTable(table) {}
        size_t Handle(int64_t y) const { return FTable.Handle(size_t(y)); }
        int64_t RowOf(size_t handle) const { return FTable.RowOf(handle); }
        size_t Below(size_t handle) const { return FTable.Below(handle); }
        size_t Above(size_t handle) const { return FTable.Above(handle); }
        uint32_t Step(size_t handle, int64_t x) const { return FTable.At(handle, x); }
        const void* PrefetchAddress(size_t handle, int64_t x) const { return FTable.Ahead(handle, x); }

    private:
        TBandTable<uint32_t>::TView FTable;
    };
    TSteps Steps(int64_t drift) const { return TSteps(FSteps.View(drift)); }

private:
    void FillRows(const TBitmap& picture, const std::array<uint8_t, 256>& paletteGreys, size_t task);

    size_t FWidth;
    size_t FCoarseLength;
    std::unique_ptr<uint8_t[]> FValues;
    std::unique_ptr<uint32_t[]> FCoarse;
    TBandTable<uint32_t> FSteps;
};

// Tables of a Bw1 picture, whose skew value is 1 for a set pixel: the row's
// bytes (padding bits cleared, a spare byte at the end) and the set pixels
// before each byte. A step is two prefix counts: these tables are small
// enough (about 5 bytes per 8 pixels) for the caches to keep up without a
// step table or prefetches. Rows are their own handles.
class TSetPixelSkewTables {
public:
    explicit TSetPixelSkewTables(const TBitmap& picture);

    uint32_t Prefix(int64_t y, int64_t x) const { return Steps().Prefix(y, x); }
    uint32_t Value(int64_t y, int64_t x) const {
        return (FBits[size_t(y) * FLength + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
    }

    class TSteps {
    public:
        static constexpr bool kPrefetched = false;
        TSteps(const uint32_t* counts, const uint8_t* bits, size_t length)
            : FCounts(counts), FBits(bits), FLength(length) {}
        size_t Handle(int64_t y) const { return size_t(y); }
        int64_t RowOf(size_t handle) const { return int64_t(handle); }
        size_t Below(size_t handle) const { return handle + 1; }
        size_t Above(size_t handle) const { return handle - 1; }
        uint32_t Prefix(int64_t y, int64_t x) const {
            const size_t at = size_t(y) * FLength + size_t(x >> 3);
            return FCounts[at] + BitsBefore(FBits[at], x);
        }
        uint32_t Step(size_t handle, int64_t x) const { return Prefix(int64_t(handle), x) - Prefix(int64_t(handle) + 1, x); }
        const void* PrefetchAddress(size_t, int64_t) const { return nullptr; }

    private:
        const uint32_t* FCounts;
        const uint8_t* FBits;
        size_t FLength;
    };
    TSteps Steps(int64_t = 0) const { return TSteps(FCounts.get(), FBits.get(), FLength); }

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
