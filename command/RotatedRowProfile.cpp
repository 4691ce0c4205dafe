#include "command/RotatedRowProfile.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "command/SharedWork.h"
#include "picture/NearestRotation.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Sums are kept modulo 2^32, which is exact: a row of the rotation holds at
// most 2^21 pixels of at most 255.
static_assert(uint64_t(255) * 2 * kMaxPictureDimension < (uint64_t(1) << 32));

constexpr int64_t kPixel = TRotationGeometry::kPixel;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

constexpr int kCoarseShift = 5;  // a coarse prefix sum every 32 columns
// The layout of the step table (see TGreyTables).
constexpr size_t kBandRows = 128;
constexpr size_t kLineRows = 16;     // 64 bytes, a cache line
constexpr size_t kPageColumns = 8;   // 8 columns of a band are 4 KB, a page
constexpr size_t kPageEntries = kBandRows * kPageColumns;
constexpr size_t kPrefetchRows = 16;
// Spare columns around each band, for prefetches that aim a little aside.
constexpr size_t kLeadColumns = 2;
constexpr size_t kTrailColumns = 4;
constexpr size_t kRowsPerTask = 2 * kBandRows;

int64_t PixelOf(int64_t position) { return TRotationGeometry::PixelOf(position); }

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

constexpr std::array<uint8_t, 256> MakeBitCounts() {
    std::array<uint8_t, 256> counts{};
    for (int i = 0; i < 256; ++i)
        for (int v = i; v != 0; v >>= 1) counts[i] += uint8_t(v & 1);
    return counts;
}
constexpr std::array<uint8_t, 256> kBitCounts = MakeBitCounts();

constexpr const char* kNoMemory = "Not enough memory to search the skew of the picture";

template <typename T>
void AllocateOrRaise(std::vector<T>& v, size_t n) {
    try {
        v.assign(n, T{});
    } catch (const std::bad_alloc&) {
        throw EVellomarError(kNoMemory);
    } catch (const std::length_error&) {
        throw EVellomarError(kNoMemory);
    }
}

// A table that is written whole before it is read, left uninitialised: the
// fill then touches each fresh page once, on both threads, instead of a
// zeroing pass touching them all first.
template <typename T>
std::unique_ptr<T[]> UninitialisedTable(size_t n) {
    try {
        return std::unique_ptr<T[]>(new T[n]);
    } catch (const std::bad_alloc&) {
        throw EVellomarError(kNoMemory);
    }
}

bool BitAt(const uint8_t* row, int x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; }

// The skew values of row y of a picture in a grey format, one byte a pixel.
void SkewValuesOfRow(const TBitmap& picture, int y, const std::array<uint8_t, 256>& paletteGreys,
                     uint8_t* out) {
    const uint8_t* in = picture.Row(y);
    const int width = picture.Width();
    switch (picture.Format()) {
    case TPixelFormat::Rgb24:
        for (int x = 0; x < width; ++x) out[x] = uint8_t(SkewGrey(in[3 * x], in[3 * x + 1], in[3 * x + 2]));
        break;
    case TPixelFormat::Palette8:
        for (int x = 0; x < width; ++x) out[x] = paletteGreys[in[x]];
        break;
    default: std::copy(in, in + width, out); break;
    }
}

// The Gray8 plane of the skew values of a Palette8 picture.
TBitmap SkewGreyPlane(const TBitmap& picture) {
    const std::array<uint8_t, 256> greys = PaletteSkewGreys(picture.Palette());
    TBitmap plane(picture.Width(), picture.Height(), TPixelFormat::Gray8);
    for (int y = 0; y < picture.Height(); ++y) SkewValuesOfRow(picture, y, greys, plane.Row(y));
    return plane;
}

int64_t RowSum(const TBitmap& picture, int y) {
    const uint8_t* row = picture.Row(y);
    int64_t sum = 0;
    for (int x = 0; x < picture.Width(); ++x) {
        switch (picture.Format()) {
        case TPixelFormat::Bw1: sum += BitAt(row, x) ? 1 : 0; break;
        case TPixelFormat::Gray8:
        case TPixelFormat::Palette8: sum += row[x]; break;
        case TPixelFormat::Rgb24: {
            const uint8_t* p = row + 3 * size_t(x);
            sum += SkewGrey(p[0], p[1], p[2]);
            break;
        }
        }
    }
    return sum;
}

// The columns t (of a row of the rotation) at which the source coordinate
// p0 + step × t lies inside 0 .. pixels - 1, as an inclusive span.
struct TSpan {
    int64_t First, Last;
};

TSpan InsideSpan(int64_t p0, int64_t step, int64_t pixels) {
    const int64_t end = pixels * kPixel;  // first position past the source
    if (step > 0) return {CeilDiv(-p0, step), FloorDiv(end - 1 - p0, step)};
    if (step < 0) return {CeilDiv(p0 - (end - 1), -step), FloorDiv(p0, -step)};
    if (p0 >= 0 && p0 < end) return {0, kNever};
    return {1, 0};
}

// How the source row changes along a row of the rotation: every Whole or
// Whole + 1 columns by Direction. The same for all rows of a rotation.
struct TCrossingRate {
    explicit TCrossingRate(int64_t step)
        : Direction(step > 0 ? 1 : step < 0 ? -1 : 0),
          Divisor(step > 0 ? step : step < 0 ? -step : 1),
          Whole(kPixel / Divisor),
          Rest(kPixel % Divisor) {}
    int Direction;
    int64_t Divisor;
    int64_t Whole;
    int64_t Rest;
};

// Where a row of the rotation crosses from one source row to the next: the
// pixel index of p0 + step × t at column t, and the next column at which it
// changes. Needs |step| <= kPixel, so the index moves by at most one per
// column. The walk itself is in AddRunSteps.
struct TRowCrossing {
    TRowCrossing(const TCrossingRate& rate, int64_t p0, int64_t t)
        : Pixel(PixelOf(p0 + rate.Direction * rate.Divisor * t)) {
        if (rate.Direction == 0) return;
        // The next change is at the first column whose position reaches the
        // boundary: ceil(boundary / divisor), boundary in distance units.
        const int64_t boundary = rate.Direction > 0 ? (Pixel + 1) * kPixel - p0 : p0 - Pixel * kPixel + 1;
        Next = CeilDiv(boundary, rate.Divisor);
        Slack = Next * rate.Divisor - boundary;
    }
    int64_t Pixel;
    int64_t Next = kNever;
    int64_t Slack = 0;  // Next × divisor - boundary, in 0 .. divisor - 1
};

// Walks the columns at which nearest sampling repeats a source column: with
// a step of kPixel - gap (0 < step <= kPixel) column t repeats column t - 1
// exactly when the position of t - 1 lies less than gap into its pixel.
class TColumnRepeats {
public:
    TColumnRepeats(int64_t p0, int64_t step, int64_t t) : FStep(step), FGap(kPixel - step) {
        if (FGap == 0) return;
        Aim(t, (p0 + step * t) & (kPixel - 1));
    }
    int64_t Next() const { return FNext; }
    void Advance() { Aim(FNext, FOffsetBefore + FStep); }

private:
    // From column t whose position lies offset into its pixel: each column
    // without a repeat takes gap off the offset, so the repeat comes after
    // offset div gap columns.
    void Aim(int64_t t, int64_t offset) {
        const int64_t columns = offset / FGap;
        FOffsetBefore = offset - columns * FGap;
        FNext = t + columns + 1;
    }
    int64_t FStep;
    int64_t FGap;
    int64_t FNext = kNever;
    int64_t FOffsetBefore = 0;  // offset of the column before FNext
};

// The values of the repeated columns up to column last, all in source row
// sy. Rare (a few per row), so kept out of the hot loop.
template <typename TTables>
#if defined(__GNUC__)
__attribute__((noinline))
#endif
uint32_t RepeatsUpTo(const TTables& tables, TColumnRepeats& repeats, int64_t sy, int64_t x0, int64_t dx,
                     int64_t last) {
    uint32_t sum = 0;
    for (; repeats.Next() <= last; repeats.Advance()) sum += tables.Value(sy, PixelOf(x0 + dx * repeats.Next()));
    return sum;
}

// The runs of a row of the rotation that end before its last column, from
// the crossing at the current column on; kDirection is the sign of the
// source row step. Each run adds its step-table entry, each repeated column
// its value.
//
// This is the hot loop of the search, kept to locals: the next crossing
// moves by Whole columns or one more, decided without a branch (which would
// be mispredicted half the time); the step table is addressed through a
// handle of the boundary row that moves with the walk, which also tells the
// source row; and the entry this run end will need kPrefetchRows rows of
// the rotation later, that many source rows lower and drift columns aside,
// is asked for now.
template <int kDirection, typename TTables>
uint32_t AddRunSteps(const TTables& tables, const TCrossingRate& rate, const TRowCrossing& crossing,
                     TColumnRepeats& repeats, int64_t x0, int64_t dx, int64_t last, int64_t drift, uint32_t sum) {
    if (crossing.Next > last) return sum;
    // The upper row of the boundary crossed at the end of the run.
    auto boundary = tables.RowHandle(kDirection > 0 ? crossing.Pixel : crossing.Pixel - 1);
    auto rowOf = [&](auto handle) { return tables.RowOfHandle(handle) + (kDirection > 0 ? 0 : 1); };
    const auto& cursor = tables.StepCursor(drift);  // a reference for the Bw1 tables, which are their own
    const int64_t divisor = rate.Divisor, whole = rate.Whole, rest = rate.Rest;
    const int64_t xBefore = x0 - dx;  // the position of column t - 1 is xBefore + dx × t
    int64_t next = crossing.Next, slack = crossing.Slack, nextRepeat = repeats.Next();
    do {
        if (nextRepeat < next) {
            sum += RepeatsUpTo(tables, repeats, rowOf(boundary), x0, dx, next - 1);
            nextRepeat = repeats.Next();
        }
        // Positions inside the source are not negative: the shift is the floor.
        const int64_t end = ((xBefore + dx * next) >> TRotationGeometry::kPositionShift) + 1;
        const uint32_t step = cursor.Step(boundary, end);
#if defined(__GNUC__)
        // In the loop itself: GCC drops a prefetch in a helper it deems pure.
        if constexpr (TTables::kPrefetched) __builtin_prefetch(cursor.PrefetchAddress(boundary, end));
#endif
        sum += kDirection > 0 ? step : 0u - step;
        boundary = kDirection > 0 ? cursor.Below(boundary) : cursor.Above(boundary);
        slack -= rest;
        const int64_t borrow = slack < 0 ? 1 : 0;
        slack += borrow * divisor;
        next += whole + borrow;
    } while (next <= last);
    return sum;
}

// Row y of the rotation. With P the prefix sums of the source rows, a run
// in source row r_k from column a_k to b_k adds P[r_k][b_k + 1] - P[r_k][a_k];
// the next run starts at a_(k+1) = b_k + 1 in row r_k ± 1, so the row sum
//   -P[r_0][a_0] + sum over k of (P[r_k][e_k] - P[r_(k+1)][e_k]) + P[r_K][e_K],
// e_k = b_k + 1, takes one step-table entry per run. A column repeated by
// nearest sampling (also at the start of a run, where the step table skipped
// it) adds its value once more.
template <typename TTables>
int64_t RowOfRotation(const TRotationGeometry& g, const TCrossingRate& rate, const TTables& tables, int ty) {
    const int64_t x0 = g.SourceX(0, ty), dx = g.SourceXStep();
    const int64_t y0 = g.SourceY(0, ty), dy = g.SourceYStep();
    const TSpan xs = InsideSpan(x0, dx, g.SourceWidth());
    const TSpan ys = InsideSpan(y0, dy, g.SourceHeight());
    const int64_t first = std::max<int64_t>({0, xs.First, ys.First});
    const int64_t last = std::min<int64_t>({g.TargetWidth() - 1, xs.Last, ys.Last});
    if (first > last) return 0;

    TRowCrossing crossing(rate, y0, first);
    TColumnRepeats repeats(x0, dx, first);
    uint32_t sum = 0u - tables.Prefix(crossing.Pixel, PixelOf(x0 + dx * first));
    // From one row of the rotation to the next the run ends move by -sin a.
    const int64_t drift = -((g.Sin() * int64_t(kPrefetchRows) + (int64_t(1) << (TRotationGeometry::kFractionBits - 1))) >>
                            TRotationGeometry::kFractionBits);
    if (rate.Direction > 0)
        sum = AddRunSteps<1>(tables, rate, crossing, repeats, x0, dx, last, drift, sum);
    else if (rate.Direction < 0)
        sum = AddRunSteps<-1>(tables, rate, crossing, repeats, x0, dx, last, drift, sum);
    const int64_t lastRow = PixelOf(y0 + dy * last);
    sum += RepeatsUpTo(tables, repeats, lastRow, x0, dx, last);
    return sum + tables.Prefix(lastRow, PixelOf(x0 + dx * last) + 1);
}

}  // namespace

// Tables of a picture in a grey format: the skew values (one byte a pixel),
// the prefix sums of each row at every 32nd column, and the steps
// P[y][x] - P[y + 1][x] at every column.
//
// The steps are laid out for the walk, which follows each run end from one
// row of the rotation to the next one source row lower and at most a pixel
// aside. Stored row by row, every run of every row would load a cache line
// and often a page of its own. Here bands of 128 rows are stored column by
// column, so a cache line holds 16 rows of one column and a 4 KB page 8
// columns of a band: the next row of the rotation finds most of its steps
// in the lines and pages the row before it used, and the walk prefetches
// the line each run end will reach 16 rows later.
class TRotatedRowProfiler::TGreyTables {
public:
    explicit TGreyTables(const TBitmap& picture)
        : FWidth(size_t(picture.Width())),
          FCoarseLength((FWidth >> kCoarseShift) + 1),
          FBandSize((kLeadColumns + FWidth + 1 + kTrailColumns + kPageColumns - 1) / kPageColumns * kPageColumns *
                    kBandRows) {
        const size_t height = size_t(picture.Height());
        const size_t bands = height > 1 ? (height - 1 + kBandRows - 1) / kBandRows : 0;
        FValues = UninitialisedTable<uint8_t>(FWidth * height);
        FCoarse = UninitialisedTable<uint32_t>(FCoarseLength * height);
        // A page more to start the bands on a page boundary, and one for the
        // prefetches past the last band.
        FStepStore = UninitialisedTable<uint32_t>(bands * FBandSize + 2 * kPageEntries);
        const size_t misalignment = (reinterpret_cast<uintptr_t>(FStepStore.get()) / sizeof(uint32_t)) % kPageEntries;
        FSteps = FStepStore.get() + (kPageEntries - misalignment) % kPageEntries + kLeadColumns * kBandRows;
        const std::array<uint8_t, 256> paletteGreys = PaletteSkewGreys(picture.Palette());
        const size_t tasks = (height + kRowsPerTask - 1) / kRowsPerTask;
        ShareAcrossTwoThreads(tasks, [&](size_t task) { FillRows(picture, paletteGreys, task); });
    }

    // The sum of columns 0 .. x - 1 of row y.
    uint32_t Prefix(int64_t y, int64_t x) const {
        const uint8_t* row = FValues.get() + size_t(y) * FWidth;
        uint32_t sum = FCoarse[size_t(y) * FCoarseLength + size_t(x >> kCoarseShift)];
        for (int64_t i = x & ~int64_t((1 << kCoarseShift) - 1); i < x; ++i) sum += row[i];
        return sum;
    }
    uint32_t Value(int64_t y, int64_t x) const { return FValues[size_t(y) * FWidth + size_t(x)]; }

    // Steps are read through a handle of their row: the index of its column 0.
    size_t RowHandle(int64_t y) const { return StepIndex(size_t(y), 0); }
    int64_t RowOfHandle(size_t row) const { return int64_t(row / FBandSize * kBandRows + row % kBandRows); }

    // Reads steps by row handle: Step(row, x) = Prefix(y, x) - Prefix(y + 1, x)
    // modulo 2^32 for the handle of row y; PrefetchAddress(row, x) the line
    // of the step kPrefetchRows below and drift columns aside (up to
    // kLeadColumns before column 0 or kTrailColumns - 1 past the last). Near
    // the foot of a band that is a line of the next column instead: a wasted
    // hint, which costs less than the branch that would avoid it. The spare
    // page at the end keeps the address in the table.
    class TStepCursor {
    public:
        TStepCursor(const uint32_t* steps, size_t bandSize, int64_t drift)
            : FSteps(steps), FAhead(steps + (int64_t(kPrefetchRows) + drift * int64_t(kBandRows))), FBandSize(bandSize) {}
        uint32_t Step(size_t row, int64_t x) const { return FSteps[row + size_t(x) * kBandRows]; }
        const uint32_t* PrefetchAddress(size_t row, int64_t x) const { return FAhead + (row + size_t(x) * kBandRows); }
        size_t Below(size_t row) const {
            return row % kBandRows == kBandRows - 1 ? row + FBandSize - (kBandRows - 1) : row + 1;
        }
        size_t Above(size_t row) const {
            return row % kBandRows == 0 ? row - FBandSize + (kBandRows - 1) : row - 1;
        }

    private:
        const uint32_t* FSteps;
        const uint32_t* FAhead;
        size_t FBandSize;
    };
    static constexpr bool kPrefetched = true;
    TStepCursor StepCursor(int64_t drift) const { return TStepCursor(FSteps, FBandSize, drift); }

private:
    size_t StepIndex(size_t y, size_t x) const { return (y / kBandRows) * FBandSize + x * kBandRows + y % kBandRows; }

    // Rows task × kRowsPerTask onwards, 16 at a time so that each cache line
    // of steps is written whole. A task computes the skew values of the row
    // after its own for its last steps but stores only its own rows, so tasks
    // share nothing.
    void FillRows(const TBitmap& picture, const std::array<uint8_t, 256>& paletteGreys, size_t task) {
        const size_t height = size_t(picture.Height());
        const size_t begin = task * kRowsPerTask;
        const size_t end = std::min(height, begin + kRowsPerTask);
        const size_t length = FWidth + 1;
        std::vector<uint32_t> prefixes(length * (kLineRows + 1));
        std::vector<uint8_t> spare(FWidth);
        auto prepare = [&](size_t y, size_t slot) {
            uint8_t* values = y < end ? FValues.get() + y * FWidth : spare.data();
            SkewValuesOfRow(picture, int(y), paletteGreys, values);
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
            const size_t steps = std::min(rows, height - 1 - std::min(height - 1, top));
            for (size_t x = 0; x < length; ++x) {
                uint32_t* line = FSteps + StepIndex(top, x);
                for (size_t i = 0; i < steps; ++i) line[i] = prefixes[i * length + x] - prefixes[(i + 1) * length + x];
            }
            std::copy(prefixes.begin() + rows * length, prefixes.begin() + (rows + 1) * length, prefixes.begin());
        }
    }

    size_t FWidth;
    size_t FCoarseLength;
    size_t FBandSize;
    // Entries past the last column of a band and rows past the last step
    // are never read, and so never written.
    std::unique_ptr<uint8_t[]> FValues;
    std::unique_ptr<uint32_t[]> FCoarse;
    std::unique_ptr<uint32_t[]> FStepStore;
    uint32_t* FSteps = nullptr;  // column 0 of the first band, inside FStepStore
};

// Tables of a Bw1 picture: the row's bytes (one spare byte at the end, the
// padding bits cleared) and the number of set pixels before each byte.
class TRotatedRowProfiler::TSetPixelTables {
public:
    explicit TSetPixelTables(const TBitmap& picture) : FLength(size_t(picture.Width()) / 8 + 1) {
        AllocateOrRaise(FCounts, FLength * size_t(picture.Height()));
        AllocateOrRaise(FBits, FLength * size_t(picture.Height()));
        const size_t usedBytes = (size_t(picture.Width()) + 7) / 8;
        const int tailBits = picture.Width() % 8;
        for (int y = 0; y < picture.Height(); ++y) {
            uint8_t* bits = FBits.data() + size_t(y) * FLength;
            std::copy(picture.Row(y), picture.Row(y) + usedBytes, bits);
            if (tailBits != 0) bits[usedBytes - 1] &= uint8_t(0xFF00 >> tailBits);
            uint32_t* counts = FCounts.data() + size_t(y) * FLength;
            uint32_t count = 0;
            for (size_t i = 0; i < FLength; ++i) {
                counts[i] = count;
                count += kBitCounts[bits[i]];
            }
        }
    }

    // The set pixels among columns 0 .. x - 1 of row y.
    uint32_t Prefix(int64_t y, int64_t x) const {
        const size_t at = size_t(y) * FLength + size_t(x >> 3);
        return FCounts[at] + kBitCounts[FBits[at] & uint8_t(0xFF00 >> (x & 7))];
    }
    // Rows are their own handles, and the tables their own cursor; they are
    // small enough for the caches to keep up without prefetches.
    int64_t RowHandle(int64_t y) const { return y; }
    int64_t RowOfHandle(int64_t y) const { return y; }
    int64_t Below(int64_t y) const { return y + 1; }
    int64_t Above(int64_t y) const { return y - 1; }
    uint32_t Step(int64_t y, int64_t x) const { return Prefix(y, x) - Prefix(y + 1, x); }
    uint32_t Value(int64_t y, int64_t x) const { return BitAt(FBits.data() + size_t(y) * FLength, int(x)); }
    static constexpr bool kPrefetched = false;
    const void* PrefetchAddress(int64_t, int64_t) const { return nullptr; }
    const TSetPixelTables& StepCursor(int64_t) const { return *this; }

private:
    size_t FLength;
    std::vector<uint32_t> FCounts;
    std::vector<uint8_t> FBits;
};

std::array<uint8_t, 256> PaletteSkewGreys(const std::vector<TRgb>& palette) {
    std::array<uint8_t, 256> greys{};
    for (size_t i = 0; i < palette.size() && i < greys.size(); ++i)
        greys[i] = uint8_t(SkewGrey(palette[i].R, palette[i].G, palette[i].B));
    return greys;
}

TRowProfile RowProfileByRotation(const TBitmap& picture, double angleDegrees) {
    const TBitmap rotated = picture.Format() == TPixelFormat::Palette8
                                ? RotateNearest(SkewGreyPlane(picture), angleDegrees)
                                : RotateNearest(picture, angleDegrees);
    TRowProfile profile(size_t(rotated.Height()));
    for (int y = 0; y < rotated.Height(); ++y) profile[size_t(y)] = RowSum(rotated, y);
    return profile;
}

TRotatedRowProfiler::TRotatedRowProfiler(const TBitmap& picture) : FPicture(picture) {
    if (picture.Format() == TPixelFormat::Bw1)
        FSetPixels = std::make_unique<const TSetPixelTables>(picture);
    else
        FGrey = std::make_unique<const TGreyTables>(picture);
}

TRotatedRowProfiler::~TRotatedRowProfiler() = default;

TRowProfile TRotatedRowProfiler::Profile(double angleDegrees) const {
    const TRotationGeometry geometry(FPicture.Width(), FPicture.Height(), angleDegrees);
    // The walk needs the source column to rise along a row (cos a > 0); the
    // skew search never leaves that range, other angles take the plain path.
    if (geometry.Cos() <= 0) return RowProfileByRotation(FPicture, angleDegrees);
    const TCrossingRate rate(geometry.SourceYStep());
    TRowProfile profile(size_t(geometry.TargetHeight()));
    for (int ty = 0; ty < geometry.TargetHeight(); ++ty)
        profile[size_t(ty)] = FGrey ? RowOfRotation(geometry, rate, *FGrey, ty)
                                    : RowOfRotation(geometry, rate, *FSetPixels, ty);
    return profile;
}

}  // namespace vellomar
