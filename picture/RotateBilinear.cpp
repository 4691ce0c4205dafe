// Rotation by an arbitrary angle with bilinear interpolation.
//
// OPTIMIZATION: the source position of consecutive target pixels in a row
// moves by a constant step, so it is carried in fixed point and advanced by
// one addition a pixel. For each row the span of targets whose four
// neighbours all lie inside the source is solved exactly in integers
// beforehand; that span runs without bounds checks, and only the thin edge
// bands (where the sample is blended with the background) check each
// neighbour. Pictures below 32768 pixels a side use 16 fraction bits in
// 32-bit integers, which the 32-bit Windows build adds in one instruction;
// larger ones use 24 bits in 64-bit integers. Rows are shared out over the
// machine's cores.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "picture/PixelConversion.h"
#include "picture/Transforms.h"

namespace vellomar {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A source plane of C-byte pixels, rows 'Stride' apart.
struct TSource {
    const uint8_t* Data;
    size_t Stride;
    int Width, Height;
};

// Per target row y the source position of pixel x is
// (StartX + x·StepX + y·RowX, StartY + x·StepY + y·RowY), in fixed point
// with FracBits fraction bits.
struct TMapping {
    int FracBits;
    int64_t StartX, StartY, StepX, StepY, RowX, RowY;
};

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Narrows [first, last] to the x with lo <= start + x·step <= hi.
void Restrict(int64_t start, int64_t step, int64_t lo, int64_t hi, int64_t& first, int64_t& last) {
    if (step == 0) {
        if (start < lo || start > hi) last = first - 1;
        return;
    }
    int64_t from, to;
    if (step > 0) {
        from = CeilDiv(lo - start, step);
        to = FloorDiv(hi - start, step);
    } else {
        from = CeilDiv(hi - start, step);
        to = FloorDiv(lo - start, step);
    }
    first = std::max(first, from);
    last = std::min(last, to);
}

// out = the four neighbours weighted by (256 − wx, wx) × (256 − wy, wy).
template <int C>
inline void BlendInto(uint8_t* out, const uint8_t* p00, const uint8_t* p10, const uint8_t* p01,
                      const uint8_t* p11, int wx, int wy) {
    const int w11 = wx * wy, w01 = (256 - wx) * wy, w10 = wx * (256 - wy);
    const int w00 = 65536 - w11 - w01 - w10;
    for (int c = 0; c < C; ++c)
        out[c] = uint8_t((p00[c] * w00 + p10[c] * w10 + p01[c] * w01 + p11[c] * w11 + 32768) >> 16);
}

// One target row. Position is the integer type the inner loop steps in.
template <int C, typename Position>
void RotateRow(const TSource& src, const TMapping& m, int y, uint8_t* out, int width,
               const uint8_t* background) {
    const int frac = m.FracBits, weightShift = frac - 8;
    const int64_t one = int64_t(1) << frac;
    const int64_t px = m.StartX + int64_t(y) * m.RowX;
    const int64_t py = m.StartY + int64_t(y) * m.RowY;
    // Targets whose 2 × 2 footprint touches the source at all ...
    int64_t touchFirst = 0, touchLast = width - 1;
    Restrict(px, m.StepX, -one, int64_t(src.Width) * one - 1, touchFirst, touchLast);
    Restrict(py, m.StepY, -one, int64_t(src.Height) * one - 1, touchFirst, touchLast);
    // ... and those whose footprint lies wholly inside it.
    int64_t safeFirst = 0, safeLast = width - 1;
    Restrict(px, m.StepX, 0, int64_t(src.Width - 1) * one - 1, safeFirst, safeLast);
    Restrict(py, m.StepY, 0, int64_t(src.Height - 1) * one - 1, safeFirst, safeLast);
    if (touchFirst > touchLast) {  // the row misses the source
        touchFirst = width;
        touchLast = width - 1;
    }

    auto fill = [&](int64_t from, int64_t to) {
        for (int64_t x = from; x < to; ++x) std::memcpy(out + x * C, background, C);
    };
    auto edge = [&](int64_t from, int64_t to) {
        for (int64_t x = from; x < to; ++x) {
            const int64_t sx = px + x * m.StepX, sy = py + x * m.StepY;
            const int x0 = int(sx >> frac), y0 = int(sy >> frac);
            const int wx = int((sx >> weightShift) & 0xFF), wy = int((sy >> weightShift) & 0xFF);
            auto at = [&](int xx, int yy) -> const uint8_t* {
                if (xx < 0 || yy < 0 || xx >= src.Width || yy >= src.Height) return background;
                return src.Data + size_t(yy) * src.Stride + size_t(xx) * C;
            };
            BlendInto<C>(out + x * C, at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1), wx, wy);
        }
    };

    fill(0, touchFirst);
    if (safeFirst > safeLast) {
        edge(touchFirst, touchLast + 1);
    } else {
        edge(touchFirst, safeFirst);
        // Inside the safe span every position is at least 0 and below the
        // source extent, so it fits Position.
        Position sx = Position(px + safeFirst * m.StepX), sy = Position(py + safeFirst * m.StepY);
        const Position stepX = Position(m.StepX), stepY = Position(m.StepY);
        uint8_t* o = out + safeFirst * C;
        for (int64_t x = safeFirst; x <= safeLast; ++x, o += C) {
            const int wx = int((sx >> weightShift) & 0xFF), wy = int((sy >> weightShift) & 0xFF);
            const uint8_t* p = src.Data + size_t(sy >> frac) * src.Stride + size_t(sx >> frac) * C;
            BlendInto<C>(o, p, p + C, p + src.Stride, p + src.Stride + C, wx, wy);
            sx += stepX;
            sy += stepY;
        }
        edge(safeLast + 1, touchLast + 1);
    }
    fill(touchLast + 1, width);
}

// Runs body(firstRow, endRow) over [0, rows) on up to the machine's cores.
template <typename Body>
void ForRowBands(int rows, int64_t pixels, Body body) {
    unsigned threads = std::thread::hardware_concurrency();
    if (threads == 0) threads = 1;
    threads = std::min(threads, 8u);
    if (pixels < (int64_t(1) << 16)) threads = 1;
    threads = std::min(threads, unsigned(std::max(rows, 1)));
    std::vector<std::thread> workers;
    int begin = 0;
    for (unsigned i = 1; i < threads; ++i) {
        const int end = int(int64_t(rows) * i / threads);
        try {
            workers.emplace_back(body, begin, end);
        } catch (const std::system_error&) {
            body(begin, end);  // no thread to be had: do the band here
        }
        begin = end;
    }
    body(begin, rows);
    for (auto& w : workers) w.join();
}

template <int C>
void RotatePlane(const TSource& src, uint8_t* dst, size_t dstStride, int dw, int dh, const TMapping& m,
                 const uint8_t* background) {
    ForRowBands(dh, int64_t(dw) * dh, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            uint8_t* row = dst + size_t(y) * dstStride;
            if (m.FracBits == 16)
                RotateRow<C, int32_t>(src, m, y, row, dw, background);
            else
                RotateRow<C, int64_t>(src, m, y, row, dw, background);
        }
    });
}

struct TGeometry {
    int Width = 1, Height = 1;
    TMapping Map{};
};

// The bounding box of the turned picture and the inverse mapping from target
// pixel centres to source positions (source pixel centres at integers).
TGeometry GeometryFor(int sw, int sh, double angle) {
    const double radians = angle * kPi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    // A hair of slack so that rounding noise does not add a column.
    const double w = std::fabs(sw * c) + std::fabs(sh * s);
    const double h = std::fabs(sw * s) + std::fabs(sh * c);
    TGeometry g;
    g.Width = std::max(1, int(std::ceil(w - 1e-6)));
    g.Height = std::max(1, int(std::ceil(h - 1e-6)));
    // Target pixel (x, y) sits at (u, v) from the target centre; the source
    // point is (u·c − v·s, u·s + v·c) from the source centre (a turn by
    // −angle in screen coordinates, y pointing down).
    const double u0 = 0.5 - g.Width / 2.0, v0 = 0.5 - g.Height / 2.0;
    const double cx = sw / 2.0 - 0.5, cy = sh / 2.0 - 0.5;
    g.Map.FracBits = std::max(sw, sh) < 32768 ? 16 : 24;
    const double one = double(int64_t(1) << g.Map.FracBits);
    auto fixed = [one](double v) { return int64_t(std::llround(v * one)); };
    g.Map.StartX = fixed(u0 * c - v0 * s + cx);
    g.Map.StartY = fixed(u0 * s + v0 * c + cy);
    g.Map.StepX = fixed(c);
    g.Map.StepY = fixed(s);
    g.Map.RowX = fixed(-s);
    g.Map.RowY = fixed(c);
    return g;
}

TBitmap RotateByteFormat(const TBitmap& picture, const TGeometry& g, TColor background) {
    TBitmap result(g.Width, g.Height, picture.Format());
    const TSource src{picture.Pixels().data(), picture.Stride(), picture.Width(), picture.Height()};
    if (picture.Format() == TPixelFormat::Rgb24) {
        const uint8_t bg[3] = {RedOf(background), GreenOf(background), BlueOf(background)};
        RotatePlane<3>(src, result.Pixels().data(), result.Stride(), g.Width, g.Height, g.Map, bg);
    } else {
        const uint8_t bg[1] = {GreyOf(RgbOf(background))};
        RotatePlane<1>(src, result.Pixels().data(), result.Stride(), g.Width, g.Height, g.Map, bg);
    }
    result.ClearPadding();
    return result;
}

}  // namespace

TBitmap RotateBilinear(const TBitmap& picture, double angle, TColor background) {
    if (picture.IsEmpty()) return picture;
    const TGeometry g = GeometryFor(picture.Width(), picture.Height(), angle);
    TBitmap result;
    switch (picture.Format()) {
    case TPixelFormat::Rgb24:
    case TPixelFormat::Gray8: result = RotateByteFormat(picture, g, background); break;
    case TPixelFormat::Bw1: result = ThresholdToBw1(RotateByteFormat(ToGray8(picture), g, background)); break;
    case TPixelFormat::Palette8: result = RotateByteFormat(picture.ToRgb24(), g, background); break;
    }
    result.RemoveAlpha();
    if (picture.HasAlpha()) {
        result.EnsureAlpha();
        const TSource src{picture.Alpha().data(), size_t(picture.Width()), picture.Width(), picture.Height()};
        const uint8_t opaque[1] = {255};
        RotatePlane<1>(src, result.Alpha().data(), size_t(g.Width), g.Width, g.Height, g.Map, opaque);
    }
    result.IOParams() = picture.IOParams();
    return result;
}

}  // namespace vellomar
