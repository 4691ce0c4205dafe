// Rotation, crop and canvas resize on bitmaps.
#include <gtest/gtest.h>

#include <cmath>

#include "picture/Transforms.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

class PictureIdentities : public ::testing::TestWithParam<TSampleKind> {};

TEST_P(PictureIdentities, FourQuarterTurnsTwoHalfTurnsAndAWholeCropGiveThePictureBack) {
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {11, 13}, {33, 9}}) {
        const TBitmap start = SamplePicture(GetParam(), w, h);
        TBitmap turned = start;
        for (int i = 0; i < 4; ++i) {
            turned = RotateQuarterTurns(turned, 1);
            EXPECT_EQ(turned.Width(), i % 2 == 0 ? h : w);
        }
        EXPECT_EQ(turned, start) << w << " x " << h;
        EXPECT_EQ(RotateQuarterTurns(RotateQuarterTurns(start, 2), 2), start);
        EXPECT_EQ(RotateQuarterTurns(RotateQuarterTurns(start, 3), 1), start);
        EXPECT_EQ(RotateQuarterTurns(start, -1), RotateQuarterTurns(start, 3));
        EXPECT_EQ(CopyRegion(start, 0, 0, w, h, 0), start);
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PictureIdentities,
                         ::testing::Values(TSampleKind::Bw1, TSampleKind::Gray8, TSampleKind::Palette8,
                                           TSampleKind::Rgb24, TSampleKind::Rgb24Alpha),
                         [](const auto& info) { return testing::SampleKindName(info.param); });

TEST(PictureRotate, AQuarterTurnLeftMovesTheTopRowToTheLeftColumn) {
    // 3 × 2:  a b c        c f
    //         d e f   ->   b e
    //                      a d
    TBitmap b(3, 2, TPixelFormat::Gray8);
    const uint8_t values[2][3] = {{'a', 'b', 'c'}, {'d', 'e', 'f'}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) b.Row(y)[x] = values[y][x];
    b.EnsureAlpha();
    for (int i = 0; i < 6; ++i) b.Alpha()[size_t(i)] = uint8_t(10 + i);
    const TBitmap left = RotateQuarterTurns(b, 1);
    ASSERT_EQ(left.Width(), 2);
    ASSERT_EQ(left.Height(), 3);
    const char expected[3][3] = {"cf", "be", "ad"};
    const uint8_t expectedAlpha[3][2] = {{12, 15}, {11, 14}, {10, 13}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(left.Row(y)[x], uint8_t(expected[y][x])) << x << "," << y;
            EXPECT_EQ(left.AlphaRow(y)[x], expectedAlpha[y][x]);
        }
    const TBitmap right = RotateQuarterTurns(b, 3);
    EXPECT_EQ(right.Row(0)[0], 'd');
    EXPECT_EQ(right.Row(0)[1], 'a');
    EXPECT_EQ(right.Row(2)[1], 'c');
}

TEST(PictureRotate, BilinearTurnFillsTheCornersAndKeepsTheCentre) {
    const TColor background = MakeColor(10, 20, 30);
    TBitmap b(41, 21, TPixelFormat::Rgb24);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 41; ++x) b.SetPixel(x, y, TRgb{200, 100, uint8_t(x * 5)});
    const TBitmap r = RotateBilinear(b, 30, background);
    const double radians = 30 * 3.14159265358979 / 180;
    EXPECT_EQ(r.Width(), int(std::ceil(41 * std::cos(radians) + 21 * std::sin(radians) - 1e-6)));
    EXPECT_EQ(r.Height(), int(std::ceil(41 * std::sin(radians) + 21 * std::cos(radians) - 1e-6)));
    EXPECT_EQ(r.GetPixel(0, 0), (TRgb{10, 20, 30}));
    EXPECT_EQ(r.GetPixel(r.Width() - 1, r.Height() - 1), (TRgb{10, 20, 30}));
    // The centre stays put; its blue is interpolated between neighbours.
    const TRgb centre = r.GetPixel(r.Width() / 2, r.Height() / 2);
    EXPECT_EQ(centre.R, 200);
    EXPECT_EQ(centre.G, 100);
    EXPECT_NEAR(centre.B, 100, 6);
}

TEST(PictureRotate, BilinearTurnOfATinyPictureStaysInBounds) {
    for (double angle : {0.5, 45.0, -3.0, 89.9, 181.0}) {
        const TBitmap r = RotateBilinear(SamplePicture(TSampleKind::Rgb24Alpha, 1, 1), angle, 0);
        EXPECT_GE(r.Width(), 1);
        EXPECT_TRUE(r.HasAlpha());
    }
}

TEST(PictureRotate, BilinearKeepsBlackAndWhitePagesOneBitAndTurnsPalettesToColour) {
    const TBitmap bw = RotateBilinear(SamplePicture(TSampleKind::Bw1, 30, 20), 2.5, 0x00FFFFFF);
    EXPECT_EQ(bw.Format(), TPixelFormat::Bw1);
    EXPECT_EQ(bw.GetPixel(0, 0), (TRgb{255, 255, 255}));  // the corner takes the white background
    const TBitmap palette = RotateBilinear(SamplePicture(TSampleKind::Palette8, 30, 20), 2.5, 0);
    EXPECT_EQ(palette.Format(), TPixelFormat::Rgb24);
    const TBitmap grey = RotateBilinear(SamplePicture(TSampleKind::Gray8, 30, 20), -2.5, 0);
    EXPECT_EQ(grey.Format(), TPixelFormat::Gray8);
}

TEST(PictureRotate, BilinearTurnByAQuarterAngleMovesPixelsLikeTheExactTurn) {
    // cos 90° is not 0 in doubles, but far below the fixed-point step.
    const TBitmap start = SamplePicture(TSampleKind::Rgb24Alpha, 9, 6);
    for (int turns : {1, 2, 3, -1}) {
        const TBitmap exact = RotateQuarterTurns(start, turns);
        EXPECT_EQ(RotateBilinear(start, 90.0 * turns, 0), exact) << turns;
    }
    // Wider than 32767 pixels the positions are carried in 64 bits.
    const TBitmap wide = SamplePicture(TSampleKind::Gray8, 33000, 3);
    EXPECT_EQ(RotateBilinear(wide, 90, 0), RotateQuarterTurns(wide, 1));
}

TEST(PictureRegion, CopyRegionCutsAndPadsWithTheBackground) {
    const TBitmap start = SamplePicture(TSampleKind::Rgb24Alpha, 10, 8);
    const TBitmap inner = CopyRegion(start, 2, 3, 4, 2, 0);
    ASSERT_EQ(inner.Width(), 4);
    EXPECT_EQ(inner.GetPixel(0, 0), start.GetPixel(2, 3));
    EXPECT_EQ(inner.GetPixel(3, 1), start.GetPixel(5, 4));
    EXPECT_EQ(inner.AlphaRow(1)[3], start.AlphaRow(4)[5]);

    const TColor background = MakeColor(1, 2, 3);
    const TBitmap larger = CopyRegion(start, -1, -1, 12, 10, background);
    EXPECT_EQ(larger.GetPixel(0, 0), (TRgb{1, 2, 3}));
    EXPECT_EQ(larger.AlphaRow(0)[0], 255);
    EXPECT_EQ(larger.GetPixel(1, 1), start.GetPixel(0, 0));
    EXPECT_EQ(larger.GetPixel(11, 9), (TRgb{1, 2, 3}));
}

TEST(PictureRegion, BlackAndWhiteRegionsShiftBitsAtAnyOffset) {
    const TBitmap start = SamplePicture(TSampleKind::Bw1, 37, 5);
    for (int left : {0, 1, 3, 8, 9}) {
        const TBitmap cut = CopyRegion(start, left, 1, 20, 3, 0);
        bool same = true;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 20; ++x) same = same && cut.GetPixel(x, y) == start.GetPixel(left + x, y + 1);
        EXPECT_TRUE(same) << left;
        TBitmap padded = cut;
        padded.ClearPadding();
        EXPECT_EQ(padded, cut) << "padding bits set at " << left;
    }
}

}  // namespace
}  // namespace vellomar
