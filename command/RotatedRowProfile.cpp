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

// The profile of a rotation telescoped (see TRotatedRowProfiler): with P
// the prefix sums of the source rows, a run in source row r_k from column
// a_k to b_k adds P[r_k][b_k + 1] - P[r_k][a_k], and the next run starts at
// a_(k+1) = b_k + 1 in row r_k ± 1, so a row's sum is
//   P[r_K][e_K] - P[r_0][a_0] + sum over k < K of ±S[min(r_k, r_(k+1))][e_k],
// e_k = b_k + 1, S[r][x] = P[r][x] - P[r + 1][x], plus once more the value
// of every column that nearest sampling repeats (also at the start of a
// run, which the steps skip). The ends and repeats are taken row by row
// (RowEnds), the steps boundary by boundary (AddBoundary).

// The ends and repeated columns of row ty of the rotation.
template <typename TTables>
uint32_t RowEnds(const TRotationGeometry& g, const TTables& tables, int ty) {
    const int64_t x0 = g.SourceX(0, ty), dx = g.SourceXStep();
    const int64_t y0 = g.SourceY(0, ty), dy = g.SourceYStep();
    const TSpan xs = InsideSpan(x0, dx, g.SourceWidth());
    const TSpan ys = InsideSpan(y0, dy, g.SourceHeight());
    const int64_t first = std::max<int64_t>({0, xs.First, ys.First});
    const int64_t last = std::min<int64_t>({g.TargetWidth() - 1, xs.Last, ys.Last});
    if (first > last) return 0;
    uint32_t sum = tables.Prefix(PixelOf(y0 + dy * last), PixelOf(x0 + dx * last) + 1) -
                   tables.Prefix(PixelOf(y0 + dy * first), PixelOf(x0 + dx * first));
    for (TColumnRepeats repeats(x0, dx, first); repeats.Next() <= last; repeats.Advance()) {
        const int64_t t = repeats.Next();
        sum += tables.Value(PixelOf(y0 + dy * t), PixelOf(x0 + dx * t));
    }
    return sum;
}

// Adds the steps at the boundary between source rows r and r + 1 to every
// row of the rotation that crosses it inside the source; kDirection is the
// sign of the source row step along a row.
//
// This is the hot loop of the search. On row ty the boundary is crossed at
// column t(ty) = ceil(N(ty) / D), D = |row step|, with N falling (rising for
// kDirection < 0) by 2c from one row to the next; so t and the source
// position of column t - 1, which names the step's column, move by Whole
// or Whole + 1 columns a row, decided without a branch and without a
// division. The crossing lies inside the source exactly when columns t - 1
// and t both lie inside it in x (rows r and r + 1 exist, and the rows
// visited span the box's columns 1 .. width - 1): one unsigned comparison.
// Consecutive boundaries read steps at nearly the same columns, which the
// band layout of the step table (SkewTables.h) keeps in cache, and the step
// kPrefetchRows boundaries on is asked for ahead.
template <int kDirection, typename TTables>
void AddBoundary(const TRotationGeometry& g, const TTables& tables, int64_t r, int64_t drift, uint32_t* sums) {
    const int64_t dx = g.SourceXStep();
    const int64_t divisor = kDirection > 0 ? g.SourceYStep() : -g.SourceYStep();
    const int64_t twoC = 2 * g.Cos(), twoS = 2 * g.Sin();
    const int64_t lastColumn = g.TargetWidth() - 1;
    const int64_t y00 = g.SourceY(0, 0);
    const int64_t boundary = (r + 1) * kPixel;
    // N(ty) = n0 ∓ 2c × ty, and the rows whose crossing column lies in
    // 1 .. lastColumn.
    int64_t n0, first, last;
    if (kDirection > 0) {
        n0 = boundary - y00;  // t: the first column at or below the boundary
        first = CeilDiv(n0 - lastColumn * divisor, twoC);
        last = CeilDiv(n0, twoC) - 1;
    } else {
        n0 = y00 - boundary + 1;  // t: the first column above the boundary
        first = FloorDiv(-n0, twoC) + 1;
        last = FloorDiv(lastColumn * divisor - n0, twoC);
    }
    first = std::max<int64_t>(0, first);
    last = std::min<int64_t>(g.TargetHeight() - 1, last);
    if (first > last) return;

    const int64_t n = n0 + (kDirection > 0 ? -twoC : twoC) * first;
    const int64_t t = CeilDiv(n, divisor);
    int64_t slack = t * divisor - n;  // t × D - N, in 0 .. D - 1
    const int64_t whole = twoC / divisor, rest = twoC % divisor;
    // From row to row the position of column t - 1 moves by -2s and by dx
    // for every column t moves.
    int64_t position = g.SourceX(0, first) + dx * (t - 1);
    const int64_t move = -twoS + (kDirection > 0 ? -dx : dx) * whole;
    const int64_t moveMore = move + (kDirection > 0 ? -dx : dx);
    const uint64_t inside = uint64_t(g.SourceWidth() * kPixel - dx);  // position < inside: t inside too
    const auto steps = tables.StepRow(r, drift);
    for (int64_t ty = first; ty <= last; ++ty) {
        if (uint64_t(position) < inside) {
            const int64_t end = (position >> TRotationGeometry::kPositionShift) + 1;
#if defined(__GNUC__)
            // Here, not in a helper: GCC drops a prefetch in a function it deems pure.
            if constexpr (TTables::kPrefetched) __builtin_prefetch(steps.Ahead(end));
#endif
            const uint32_t step = steps.At(end);
            sums[ty] += kDirection > 0 ? step : 0u - step;
        }
        // N moves by 2c = whole × D + rest: t by whole columns, or one more.
        // Written as selections, which compile to conditional moves: the
        // slack is the chain from row to row, and a multiply by the 0 or 1
        // would lengthen it.
        if (kDirection > 0) {
            const int64_t raised = slack + rest;
            const bool more = raised >= divisor;
            slack = more ? raised - divisor : raised;
            position += more ? moveMore : move;
        } else {
            const bool more = rest > slack;
            slack = more ? slack + (divisor - rest) : slack - rest;
            position += more ? moveMore : move;
        }
    }
}

template <typename TTables>
TRowProfile ProfileOf(const TRotationGeometry& g, const TTables& tables) {
    std::vector<uint32_t> sums(static_cast<size_t>(g.TargetHeight()));
    for (int ty = 0; ty < g.TargetHeight(); ++ty) sums[size_t(ty)] = RowEnds(g, tables, ty);
    // From one boundary to the next the crossing columns move by -sin a.
    const int64_t drift =
        -((g.Sin() * kPrefetchRows + (int64_t(1) << (TRotationGeometry::kFractionBits - 1))) >>
          TRotationGeometry::kFractionBits);
    const int64_t dy = g.SourceYStep();
    for (int64_t r = 0; r + 1 < g.SourceHeight(); ++r) {
        if (dy > 0)
            AddBoundary<1>(g, tables, r, drift, sums.data());
        else if (dy < 0)
            AddBoundary<-1>(g, tables, r, drift, sums.data());
    }
    return TRowProfile(sums.begin(), sums.end());
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
    return FGrey ? ProfileOf(geometry, *FGrey) : ProfileOf(geometry, *FSetPixels);
}

}  // namespace vellomar
