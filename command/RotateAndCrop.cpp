#include "command/RotateAndCrop.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "picture/Bitmap.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The loop's terms, computed in one place so that the fast search and the
// plain loop round them identically.
class TInscribedTerms {
public:
    TInscribedTerms(int width, int height, double angleDegrees) : FWidth(width), FHeight(height) {
        if (width < 0 || height < 0 || width > kMaxPictureDimension || height > kMaxPictureDimension)
            throw EVellomarError("Cannot fit a rectangle into a picture of " + std::to_string(width) +
                                 " x " + std::to_string(height) + " pixels");
        const double t = std::fabs(angleDegrees) * kPi / 180.0;
        FCs = std::cos(t);
        FSn = std::sin(t);
        FDiagonal = int64_t(std::sqrt(double(width) * width + double(height) * height));
    }
    int64_t Diagonal() const { return FDiagonal; }
    int64_t V(int64_t i, int64_t j) const { return int64_t(double(i) * FCs + double(j) * FSn); }
    int64_t W(int64_t i, int64_t j) const { return int64_t(double(j) * FCs + double(i) * FSn); }
    bool VFits(int64_t v) const { return v >= FWidth - 1 && v <= FWidth + 1; }
    bool WFits(int64_t w) const { return w >= FHeight - 1 && w <= FHeight + 1; }
    // The sign of the j term in V (sn) and in W (cs).
    bool VRisesWithJ() const { return FSn >= 0; }
    bool WRisesWithJ() const { return FCs >= 0; }
    int64_t Width() const { return FWidth; }
    int64_t Height() const { return FHeight; }

private:
    int64_t FWidth;
    int64_t FHeight;
    double FCs = 1;
    double FSn = 0;
    int64_t FDiagonal = 0;
};

struct TSpan {
    int64_t First, Last;  // inclusive; empty when First > Last
};

// The first j in first..last at which a predicate that is false and then
// true along j holds; last + 1 when it never does.
template <typename TPredicate>
int64_t FirstTrue(int64_t first, int64_t last, TPredicate holds) {
    int64_t lo = first, hi = last + 1;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (holds(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// The j in span at which f(j), monotone along j in the given sense, lies in
// low..high. They form a span since f is monotone.
template <typename TTerm>
TSpan SpanWhereTermIn(TSpan span, bool rises, int64_t low, int64_t high, TTerm f) {
    if (rises)
        return {FirstTrue(span.First, span.Last, [&](int64_t j) { return f(j) >= low; }),
                FirstTrue(span.First, span.Last, [&](int64_t j) { return f(j) > high; }) - 1};
    return {FirstTrue(span.First, span.Last, [&](int64_t j) { return f(j) <= high; }),
            FirstTrue(span.First, span.Last, [&](int64_t j) { return f(j) < low; }) - 1};
}

}  // namespace

bool FindInscribedRectangle(int width, int height, double angleDegrees, int& innerWidth,
                            int& innerHeight) {
    if (!std::isfinite(angleDegrees)) return false;
    const TInscribedTerms terms(width, height, angleDegrees);
    const int64_t d = terms.Diagonal();
    for (int64_t i = 1; i <= d; ++i) {
        const TSpan vs = SpanWhereTermIn(TSpan{1, d}, terms.VRisesWithJ(), terms.Width() - 1,
                                         terms.Width() + 1, [&](int64_t j) { return terms.V(i, j); });
        if (vs.First > vs.Last) continue;
        const TSpan ws = SpanWhereTermIn(vs, terms.WRisesWithJ(), terms.Height() - 1,
                                         terms.Height() + 1, [&](int64_t j) { return terms.W(i, j); });
        if (ws.First > ws.Last) continue;
        innerWidth = int(i);
        innerHeight = int(ws.First);
        return true;
    }
    return false;
}

bool FindInscribedRectangleReference(int width, int height, double angleDegrees, int& innerWidth,
                                     int& innerHeight) {
    if (!std::isfinite(angleDegrees)) return false;
    const TInscribedTerms terms(width, height, angleDegrees);
    const int64_t d = terms.Diagonal();
    for (int64_t i = 1; i <= d; ++i)
        for (int64_t j = 1; j <= d; ++j)
            if (terms.VFits(terms.V(i, j)) && terms.WFits(terms.W(i, j))) {
                innerWidth = int(i);
                innerHeight = int(j);
                return true;
            }
    return false;
}

}  // namespace vellomar
