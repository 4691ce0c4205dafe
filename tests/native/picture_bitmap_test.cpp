// The bitmap's layout rules, size limits and per-pixel access.
#include <gtest/gtest.h>

#include "picture/Bitmap.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

TEST(PictureBitmap, RowsAreFourByteAlignedInEveryFormat) {
    struct Case { TPixelFormat Format; int Width; size_t Stride; };
    const Case cases[] = {
        {TPixelFormat::Bw1, 1, 4},     {TPixelFormat::Bw1, 33, 8},  {TPixelFormat::Gray8, 5, 8},
        {TPixelFormat::Palette8, 4, 4}, {TPixelFormat::Rgb24, 1, 4}, {TPixelFormat::Rgb24, 5, 16},
    };
    for (const Case& c : cases) {
        TBitmap b(c.Width, 3, c.Format);
        EXPECT_EQ(b.Stride(), c.Stride) << c.Width;
        EXPECT_EQ(b.Pixels().size(), c.Stride * 3);
    }
}

TEST(PictureBitmap, AbsurdSizesRaiseBeforeAllocating) {
    EXPECT_THROW(TBitmap(-1, 5, TPixelFormat::Rgb24), EVellomarError);
    EXPECT_THROW(TBitmap(kMaxPictureDimension + 1, 1, TPixelFormat::Bw1), EVellomarError);
    EXPECT_THROW(TBitmap(60000, 60000, TPixelFormat::Rgb24), EVellomarError);  // 10 GB
    EXPECT_THROW(CheckPictureSize(30000, 30000, TPixelFormat::Rgb24), EVellomarError);
    EXPECT_NO_THROW(CheckPictureSize(30000, 30000, TPixelFormat::Bw1));
    EXPECT_TRUE(TBitmap(0, 0, TPixelFormat::Rgb24).IsEmpty());
}

TEST(PictureBitmap, BlackAndWhiteSetBitIsWhite) {
    TBitmap b(10, 1, TPixelFormat::Bw1);
    EXPECT_EQ(b.GetPixel(3, 0), (TRgb{0, 0, 0}));
    b.SetPixel(3, 0, TRgb{200, 200, 200});
    EXPECT_EQ(b.Row(0)[0], 0x10);
    EXPECT_EQ(b.GetPixel(3, 0), (TRgb{255, 255, 255}));
    b.SetPixel(3, 0, TRgb{100, 100, 100});
    EXPECT_EQ(b.Row(0)[0], 0x00);
}

TEST(PictureBitmap, PixelAccessStoresTheNearestColourTheFormatHolds) {
    TBitmap palette(2, 1, TPixelFormat::Palette8);
    palette.Palette() = {TRgb{0, 0, 0}, TRgb{250, 0, 0}, TRgb{0, 0, 250}};
    palette.SetPixel(0, 0, TRgb{10, 10, 240});
    EXPECT_EQ(palette.Row(0)[0], 2);
    palette.Row(0)[1] = 9;  // beyond the palette
    EXPECT_EQ(palette.GetPixel(1, 0), (TRgb{0, 0, 0}));

    TBitmap grey(1, 1, TPixelFormat::Gray8);
    grey.SetPixel(0, 0, TRgb{255, 0, 0});
    EXPECT_EQ(grey.Row(0)[0], GreyOf(TRgb{255, 0, 0}));
    // Outside the picture: black, and writes are dropped.
    grey.SetPixel(5, 5, TRgb{1, 2, 3});
    EXPECT_EQ(grey.GetPixel(-1, 0), (TRgb{0, 0, 0}));
}

TEST(PictureBitmap, ToRgb24KeepsColoursAlphaAndFileParameters) {
    for (TSampleKind kind : {TSampleKind::Bw1, TSampleKind::Gray8Alpha, TSampleKind::Palette8}) {
        TBitmap b = SamplePicture(kind, 13, 5);
        b.IOParams() = TIOParams{4, 1};
        const TBitmap rgb = b.ToRgb24();
        EXPECT_EQ(rgb.Format(), TPixelFormat::Rgb24);
        EXPECT_TRUE(testing::SameColours(b, rgb)) << testing::SampleKindName(kind);
        EXPECT_EQ(rgb.Alpha(), b.Alpha());
        EXPECT_EQ(rgb.IOParams(), (TIOParams{4, 1}));
    }
}

TEST(PictureBitmap, ClearPaddingZeroesOnlyBitsPastTheLastPixel) {
    TBitmap b(10, 2, TPixelFormat::Bw1);
    for (auto& byte : b.Pixels()) byte = 0xFF;
    b.ClearPadding();
    EXPECT_EQ(b.Row(1)[0], 0xFF);
    EXPECT_EQ(b.Row(1)[1], 0xC0);
    EXPECT_EQ(b.Row(1)[2], 0x00);
    EXPECT_EQ(b.Row(1)[3], 0x00);
}

TEST(PictureBitmap, EqualityLooksAtPixelsPaletteAndAlphaButNotFileParameters) {
    TBitmap a = SamplePicture(TSampleKind::Rgb24Alpha, 4, 4);
    TBitmap b = a;
    b.IOParams() = TIOParams{1, 1};
    EXPECT_EQ(a, b);
    b.Alpha()[3] ^= 1;
    EXPECT_NE(a, b);
}

TEST(PictureBitmap, GreyThresholdGivesBlackAndWhite) {
    TBitmap grey(3, 1, TPixelFormat::Gray8);
    grey.Row(0)[0] = 127;
    grey.Row(0)[1] = 128;
    grey.Row(0)[2] = 255;
    const TBitmap bw = ThresholdToBw1(grey);
    EXPECT_EQ(bw.Row(0)[0], 0x60);
}

}  // namespace
}  // namespace vellomar
