// Nearest-pixel rotation: the box, the sense of the turn, exact quarter
// turns and the fill of uncovered pixels, over every pixel format.
#include <gtest/gtest.h>

#include "DeskewPages.h"
#include "picture/NearestRotation.h"
#include "platform/VellomarError.h"

namespace vellomar {
namespace {

using testing::RandomPicture;

class NearestRotationFormats : public ::testing::TestWithParam<TPixelFormat> {};

INSTANTIATE_TEST_SUITE_P(AllFormats, NearestRotationFormats,
                         ::testing::Values(TPixelFormat::Bw1, TPixelFormat::Gray8, TPixelFormat::Palette8,
                                           TPixelFormat::Rgb24));

TEST_P(NearestRotationFormats, AngleZeroGivesAnEqualCopy) {
    for (auto [w, h] : {std::pair{1, 1}, {11, 13}, {33, 7}}) {
        const TBitmap picture = RandomPicture(w, h, GetParam(), 5);
        EXPECT_EQ(RotateNearest(picture, 0), picture) << w << " x " << h;
    }
}

TEST_P(NearestRotationFormats, QuarterTurnsMovePixelsExactly) {
    const TBitmap picture = RandomPicture(11, 13, GetParam(), 9);
    const TBitmap left = RotateNearest(picture, 90);
    ASSERT_EQ(left.Width(), 13);
    ASSERT_EQ(left.Height(), 11);
    // The left column is the old top row read from right to left.
    for (int y = 0; y < left.Height(); ++y)
        EXPECT_EQ(left.GetPixel(0, y), picture.GetPixel(picture.Width() - 1 - y, 0)) << y;

    TBitmap turned = picture;
    for (int i = 0; i < 4; ++i) turned = RotateNearest(turned, 90);
    EXPECT_EQ(turned, picture);
    EXPECT_EQ(RotateNearest(RotateNearest(picture, 180), 180), picture);
    EXPECT_EQ(RotateNearest(RotateNearest(picture, 270), 90), picture);
}

TEST(NearestRotation, BoxIsTheCeilingOfTheTurnedExtent) {
    struct {
        int Width, Height;
        double Angle;
        int BoxWidth, BoxHeight;
    } const cases[] = {
        {200, 150, 30, 249, 230},   // 173.21 + 75, 100 + 129.90
        {200, 150, -30, 249, 230},  // the box does not depend on the sense
        {200, 150, 0, 200, 150},     {10, 20, 90, 20, 10}, {10, 20, -270, 20, 10},
        {10, 20, 180, 10, 20},       {100, 1, 45, 72, 72},  // 70.71 + 0.71
        {2480, 3508, 5, 2777, 3711},  // 2470.56 + 305.74, 216.15 + 3494.65
        {0, 5, 10, 0, 0},
    };
    for (const auto& c : cases) {
        const TRotationGeometry g(c.Width, c.Height, c.Angle);
        EXPECT_EQ(g.TargetWidth(), c.BoxWidth) << c.Width << " x " << c.Height << " by " << c.Angle;
        EXPECT_EQ(g.TargetHeight(), c.BoxHeight) << c.Width << " x " << c.Height << " by " << c.Angle;
    }
}

TEST(NearestRotation, PositiveAnglesTurnCounterClockwise) {
    // A white dot right of the centre of a black square rises for a positive
    // angle and sinks for a negative one.
    TBitmap picture(41, 41, TPixelFormat::Gray8);
    for (int y = 19; y <= 21; ++y)
        for (int x = 35; x <= 37; ++x) picture.Row(y)[x] = 255;
    for (double angle : {10.0, -10.0}) {
        const TBitmap turned = RotateNearest(picture, angle);
        int whiteX = -1, whiteY = -1, count = 0;
        for (int y = 0; y < turned.Height(); ++y)
            for (int x = 0; x < turned.Width(); ++x)
                if (turned.Row(y)[x] == 255) {
                    whiteX = x;
                    whiteY = y;
                    ++count;
                }
        ASSERT_GE(count, 1) << angle;
        const int centre = turned.Height() / 2;
        EXPECT_GT(whiteX, turned.Width() / 2 + 10) << angle;
        if (angle > 0)
            EXPECT_LT(whiteY, centre - 1) << angle;
        else
            EXPECT_GT(whiteY, centre + 1) << angle;
    }
}

TEST(NearestRotation, UncoveredPixelsAreBlack) {
    TBitmap colour(20, 10, TPixelFormat::Rgb24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) colour.SetPixel(x, y, TRgb{255, 255, 255});
    const TBitmap turnedColour = RotateNearest(colour, 20);
    EXPECT_EQ(turnedColour.GetPixel(0, 0), TRgb{});
    EXPECT_EQ(turnedColour.GetPixel(turnedColour.Width() / 2, turnedColour.Height() / 2), (TRgb{255, 255, 255}));

    TBitmap bits(20, 10, TPixelFormat::Bw1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) bits.SetPixel(x, y, TRgb{255, 255, 255});
    const TBitmap turnedBits = RotateNearest(bits, 20);
    EXPECT_EQ(turnedBits.GetPixel(0, 0), TRgb{});
    EXPECT_EQ(turnedBits.GetPixel(turnedBits.Width() / 2, turnedBits.Height() / 2), (TRgb{255, 255, 255}));
}

TEST(NearestRotation, PaletteFillIsABlackEntry) {
    TBitmap picture(20, 10, TPixelFormat::Palette8);
    picture.Palette() = {TRgb{255, 255, 255}, TRgb{200, 0, 0}};
    const TBitmap withRoom = RotateNearest(picture, 20);
    ASSERT_EQ(withRoom.Palette().size(), 3u);
    EXPECT_EQ(withRoom.GetPixel(0, 0), TRgb{});
    EXPECT_EQ(withRoom.GetPixel(10, 7), (TRgb{255, 255, 255}));

    // A full palette without black lends its darkest entry.
    picture.Palette().clear();
    for (int i = 0; i < 256; ++i) picture.Palette().push_back(TRgb{uint8_t(255 - i / 2), 255, 255});
    const TBitmap full = RotateNearest(picture, 20);
    EXPECT_EQ(full.Palette().size(), 256u);
    EXPECT_EQ(full.Row(0)[0], 254);
}

TEST(NearestRotation, AlphaTurnsWithThePictureUncoveredTransparent) {
    TBitmap picture(20, 10, TPixelFormat::Rgb24);
    picture.EnsureAlpha();
    picture.AlphaRow(0)[19] = 7;
    const TBitmap turned = RotateNearest(picture, 90);
    ASSERT_TRUE(turned.HasAlpha());
    EXPECT_EQ(turned.AlphaRow(0)[0], 7);  // the top-right corner went to the top left
    EXPECT_EQ(turned.AlphaRow(5)[5], 255);
    EXPECT_EQ(RotateNearest(picture, 20).AlphaRow(0)[0], 0);
}

TEST(NearestRotation, RejectsAnAngleThatIsNoNumber) {
    const TBitmap picture(4, 4, TPixelFormat::Rgb24);
    EXPECT_THROW(RotateNearest(picture, std::nan("")), EVellomarError);
    EXPECT_THROW(RotateNearest(picture, HUGE_VAL), EVellomarError);
}

}  // namespace
}  // namespace vellomar
