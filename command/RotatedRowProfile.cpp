#include "command/RotatedRowProfile.h"

#include <algorithm>
#include <limits>

#include "command/SkewTables.h"
#include "picture/NearestRotation.h"

namespace vellomar {

namespace {

// Sums are kept modulo 2^32, which is exact: a row of the rotation holds at
// most 2^21 pixels of at most 255.
static_assert(uint64_t(255) * 2 * kMaxPictureDimension < (uint64_t(1) << 32));

constexpr int64_t kPixel = TRotationGeometry::kPixel;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

int64_t PixelOf(int64_t position) { return TRotationGeometry::PixelOf(position); }

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

bool BitAt(const uint8_t* row, int x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; }

// The Gray8 plane of the skew values of a Palette8 picture.
TBitmap SkewGreyPlane(const TBitmap& picture) {
    const std::array<uint8_t, 256> greys = PaletteSkewGreys(picture.Palette());
    TBitmap plane(picture.Width(), picture.Height(), TPixelFormat::Gray8);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) plane.Row(y)[x] = greys[picture.Row(y)[x]];
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
    const auto steps = tables.Steps(drift);  // a small value, kept in registers
    // The upper row of the boundary crossed at the end of the run.
    size_t boundary = steps.Handle(kDirection > 0 ? crossing.Pixel : crossing.Pixel - 1);
    auto rowOf = [&](size_t handle) { return steps.RowOf(handle) + (kDirection > 0 ? 0 : 1); };
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
        const uint32_t step = steps.Step(boundary, end);
#if defined(__GNUC__)
        // In the loop itself: GCC drops a prefetch in a helper it deems pure.
        if constexpr (decltype(steps)::kPrefetched) __builtin_prefetch(steps.PrefetchAddress(boundary, end));
#endif
        sum += kDirection > 0 ? step : 0u - step;
        boundary = kDirection > 0 ? steps.Below(boundary) : steps.Above(boundary);
        slack -= rest;
        const int64_t borrow = slack < 0 ? 1 : 0;
        slack += borrow * divisor;
        next += whole + borrow;
    } while (next <= last);
    return sum;
}

// Row ty of the rotation. With P the prefix sums of the source rows, a run
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
        FSetPixels = std::make_unique<const TSetPixelSkewTables>(picture);
    else
        FGrey = std::make_unique<const TGreySkewTables>(picture);
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
