#include "command/RotatedRowProfile.h"

#include <algorithm>
#include <limits>
#include <new>

#include "picture/NearestRotation.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Prefix sums of one row stay below 2^32 (255 × 2^20 < 2^28).
static_assert(uint64_t(255) * kMaxPictureDimension < (uint64_t(1) << 32));

constexpr int64_t kPixel = TRotationGeometry::kPixel;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

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

template <typename T>
void AllocateOrRaise(std::vector<T>& v, size_t n) {
    try {
        v.assign(n, T{});
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to search the skew of the picture");
    } catch (const std::length_error&) {
        throw EVellomarError("Not enough memory to search the skew of the picture");
    }
}

bool BitAt(const uint8_t* row, int x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; }

// The Gray8 plane of the skew values of a Palette8 picture.
TBitmap SkewGreyPlane(const TBitmap& picture) {
    const std::array<uint8_t, 256> greys = PaletteSkewGreys(picture.Palette());
    TBitmap plane(picture.Width(), picture.Height(), TPixelFormat::Gray8);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* in = picture.Row(y);
        uint8_t* out = plane.Row(y);
        for (int x = 0; x < picture.Width(); ++x) out[x] = greys[in[x]];
    }
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

// Walks the source rows that a row of the rotation passes: the pixel index
// of p0 + step × t and the next column at which it changes, without a
// division per change. Needs |step| <= kPixel, so the index moves by at most
// one per column.
class TRowCrossings {
public:
    TRowCrossings(int64_t p0, int64_t step, int64_t t) : FPixel(PixelOf(p0 + step * t)) {
        if (step == 0) return;
        FDirection = step > 0 ? 1 : -1;
        FDivisor = step > 0 ? step : -step;
        // The next change is at the first column whose position reaches the
        // boundary: ceil(boundary / divisor), boundary in distance units.
        const int64_t boundary = step > 0 ? (FPixel + 1) * kPixel - p0 : p0 - FPixel * kPixel + 1;
        FNext = CeilDiv(boundary, FDivisor);
        FSlack = FNext * FDivisor - boundary;
        FWhole = kPixel / FDivisor;
        FRest = kPixel % FDivisor;
    }
    int64_t Pixel() const { return FPixel; }
    int64_t NextChange() const { return FNext; }
    // Moves to the next source row; the boundary moves by one pixel.
    void Advance() {
        if (FDirection == 0) return;
        FPixel += FDirection;
        FSlack -= FRest;
        FNext += FWhole;
        if (FSlack < 0) {
            FSlack += FDivisor;
            ++FNext;
        }
    }

private:
    int64_t FPixel;
    int FDirection = 0;
    int64_t FDivisor = 1;
    int64_t FNext = kNever;
    int64_t FSlack = 0;  // FNext × divisor - boundary, in 0 .. divisor - 1
    int64_t FWhole = 0;
    int64_t FRest = 0;
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

template <typename TSums>
int64_t RowOfRotation(const TRotationGeometry& g, const TSums& sums, int ty) {
    const int64_t x0 = g.SourceX(0, ty), dx = g.SourceXStep();
    const int64_t y0 = g.SourceY(0, ty), dy = g.SourceYStep();
    const TSpan xs = InsideSpan(x0, dx, g.SourceWidth());
    const TSpan ys = InsideSpan(y0, dy, g.SourceHeight());
    const int64_t first = std::max<int64_t>({0, xs.First, ys.First});
    const int64_t last = std::min<int64_t>({g.TargetWidth() - 1, xs.Last, ys.Last});

    if (first > last) return 0;

    int64_t sum = 0;
    TRowCrossings rows(y0, dy, first);
    TColumnRepeats repeats(x0, dx, first);
    for (int64_t t = first; t <= last; rows.Advance()) {
        const int64_t runLast = std::min(last, rows.NextChange() - 1);
        const int64_t sy = rows.Pixel();
        sum += sums.Sum(sy, PixelOf(x0 + dx * t), PixelOf(x0 + dx * runLast));
        for (; repeats.Next() <= runLast; repeats.Advance()) {
            // A repeat at the start of a run took its twin from another row.
            if (repeats.Next() == t) continue;
            const int64_t sx = PixelOf(x0 + dx * repeats.Next());
            sum += sums.Sum(sy, sx, sx);
        }
        t = runLast + 1;
    }
    return sum;
}

std::variant<TRotatedRowProfiler::TGreySums, TRotatedRowProfiler::TSetPixelCounts> SumsOf(
    const TBitmap& picture) {
    if (picture.Format() == TPixelFormat::Bw1) return TRotatedRowProfiler::TSetPixelCounts(picture);
    return TRotatedRowProfiler::TGreySums(picture);
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

TRotatedRowProfiler::TGreySums::TGreySums(const TBitmap& picture)
    : FRowLength(size_t(picture.Width()) + 1) {
    AllocateOrRaise(FSums, FRowLength * size_t(picture.Height()));
    const std::array<uint8_t, 256> paletteGreys = PaletteSkewGreys(picture.Palette());
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* in = picture.Row(y);
        uint32_t* out = FSums.data() + size_t(y) * FRowLength;
        uint32_t sum = 0;
        out[0] = 0;
        const int width = picture.Width();
        switch (picture.Format()) {
        case TPixelFormat::Rgb24:
            for (int x = 0; x < width; ++x)
                out[x + 1] = sum += SkewGrey(in[3 * x], in[3 * x + 1], in[3 * x + 2]);
            break;
        case TPixelFormat::Palette8:
            for (int x = 0; x < width; ++x) out[x + 1] = sum += paletteGreys[in[x]];
            break;
        default:
            for (int x = 0; x < width; ++x) out[x + 1] = sum += in[x];
            break;
        }
    }
}

TRotatedRowProfiler::TSetPixelCounts::TSetPixelCounts(const TBitmap& picture)
    : FRowLength(size_t(picture.Width()) / 8 + 1) {
    AllocateOrRaise(FCounts, FRowLength * size_t(picture.Height()));
    AllocateOrRaise(FBits, FRowLength * size_t(picture.Height()));
    const size_t usedBytes = (size_t(picture.Width()) + 7) / 8;
    const int tailBits = picture.Width() % 8;
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* bits = FBits.data() + size_t(y) * FRowLength;
        std::copy(picture.Row(y), picture.Row(y) + usedBytes, bits);
        if (tailBits != 0) bits[usedBytes - 1] &= uint8_t(0xFF00 >> tailBits);
        uint32_t* counts = FCounts.data() + size_t(y) * FRowLength;
        uint32_t count = 0;
        for (size_t i = 0; i < FRowLength; ++i) {
            counts[i] = count;
            count += kBitCounts[bits[i]];
        }
    }
}

uint32_t TRotatedRowProfiler::TSetPixelCounts::CountBefore(int64_t y, int64_t x) const {
    const size_t at = size_t(y) * FRowLength + size_t(x >> 3);
    return FCounts[at] + kBitCounts[FBits[at] & uint8_t(0xFF00 >> (x & 7))];
}

TRotatedRowProfiler::TRotatedRowProfiler(const TBitmap& picture)
    : FPicture(picture), FSums(SumsOf(picture)) {}

TRowProfile TRotatedRowProfiler::Profile(double angleDegrees) const {
    const TRotationGeometry geometry(FPicture.Width(), FPicture.Height(), angleDegrees);
    // The walk needs the source column to rise along a row (cos a > 0); the
    // skew search never leaves that range, other angles take the plain path.
    if (geometry.Cos() <= 0) return RowProfileByRotation(FPicture, angleDegrees);
    TRowProfile profile(size_t(geometry.TargetHeight()));
    std::visit(
        [&](const auto& sums) {
            for (int ty = 0; ty < geometry.TargetHeight(); ++ty)
                profile[size_t(ty)] = RowOfRotation(geometry, sums, ty);
        },
        FSums);
    return profile;
}

}  // namespace vellomar
