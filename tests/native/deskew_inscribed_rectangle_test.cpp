// The inscribed-rectangle search of rotate-and-crop against the plain double
// loop that defines it.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "command/RotateAndCrop.h"
#include "platform/VellomarError.h"

namespace vellomar {
namespace {

struct TAnswer {
    bool Found = false;
    int Width = -1;
    int Height = -1;
    friend bool operator==(const TAnswer& a, const TAnswer& b) {
        return a.Found == b.Found && a.Width == b.Width && a.Height == b.Height;
    }
};

std::ostream& operator<<(std::ostream& out, const TAnswer& a) {
    return a.Found ? out << a.Width << " x " << a.Height : out << "none";
}

TAnswer Fast(int w, int h, double angle) {
    TAnswer a;
    a.Found = FindInscribedRectangle(w, h, angle, a.Width, a.Height);
    return a;
}

TAnswer Loop(int w, int h, double angle) {
    TAnswer a;
    a.Found = FindInscribedRectangleReference(w, h, angle, a.Width, a.Height);
    return a;
}

TEST(InscribedRectangle, StraightPageLosesItsLastColumnAndRow) {
    for (auto [w, h] : {std::pair{2, 2}, {3, 7}, {200, 150}, {2480, 3508}, {3508, 2480}}) {
        EXPECT_EQ(Fast(w, h, 0), (TAnswer{true, w - 1, h - 1})) << w << " x " << h;
        EXPECT_EQ(Loop(w, h, 0), (TAnswer{true, w - 1, h - 1})) << w << " x " << h;
    }
}

TEST(InscribedRectangle, KnownTurnedPages) {
    // A4 at 300 dpi turned back by the angles the search finds on tilted
    // scans: the kept rectangle shrinks with the angle.
    struct {
        int Width, Height;
        double Angle;
        int InnerWidth, InnerHeight;
    } const cases[] = {
        {2480, 3508, 1.3, 2402, 3454}, {2480, 3508, -2.3, 2344, 3416}, {2480, 3508, 5, 2198, 3329},
    };
    for (const auto& c : cases) {
        const TAnswer loop = Loop(c.Width, c.Height, c.Angle);
        ASSERT_TRUE(loop.Found) << c.Angle;
        EXPECT_EQ(Fast(c.Width, c.Height, c.Angle), loop) << c.Angle;
        EXPECT_EQ(loop, (TAnswer{true, c.InnerWidth, c.InnerHeight})) << c.Angle;
    }
}

TEST(InscribedRectangle, FastSearchEqualsTheDoubleLoop) {
    const double angles[] = {0,  0.1, -0.1, 0.5, 1.3, -2.27, 4.999999999999998, -5, 10, 30,
                             45, 60,  89.9, 90,  91, 120,   180,  200,  270,  359, -730};
    int found = 0, notFound = 0;
    for (int w = 1; w <= 14; ++w)
        for (int h = 1; h <= 14; ++h)
            for (double angle : angles) {
                const TAnswer loop = Loop(w, h, angle);
                ASSERT_EQ(Fast(w, h, angle), loop) << w << " x " << h << " by " << angle;
                (loop.Found ? found : notFound)++;
            }
    for (auto [w, h] : {std::pair{200, 150}, {150, 200}, {640, 480}, {97, 1000}, {1000, 3}})
        for (double angle : angles) {
            const TAnswer loop = Loop(w, h, angle);
            ASSERT_EQ(Fast(w, h, angle), loop) << w << " x " << h << " by " << angle;
            (loop.Found ? found : notFound)++;
        }
    // Both outcomes of the loop are covered.
    EXPECT_GT(found, 0);
    EXPECT_GT(notFound, 0);
}

TEST(InscribedRectangle, NoSizeForBadInput) {
    int w = -1, h = -1;
    EXPECT_FALSE(FindInscribedRectangle(100, 100, std::nan(""), w, h));
    EXPECT_FALSE(FindInscribedRectangle(0, 0, 2, w, h));
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
    EXPECT_THROW(FindInscribedRectangle(-5, 10, 2, w, h), EVellomarError);
}

}  // namespace
}  // namespace vellomar
