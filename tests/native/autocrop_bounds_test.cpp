// Auto-crop bounds: borders, uniform and black pages, the strict tolerance
// and every pixel format.
#include <gtest/gtest.h>

#include <vector>

#include "command/AutoCrop.h"

namespace vellomar {
namespace {

TBitmap Filled(int width, int height, TPixelFormat format, TRgb colour) {
    TBitmap b(width, height, format);
    if (format == TPixelFormat::Palette8) b.Palette() = {TRgb{255, 255, 255}, TRgb{0, 0, 0}, TRgb{20, 40, 60}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, colour);
    return b;
}

void PaintRect(TBitmap& b, int x1, int y1, int x2, int y2, TRgb colour) {
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) b.SetPixel(x, y, colour);
}

// A Gray8 picture from rows of grey values.
TBitmap GreyRows(const std::vector<std::vector<uint8_t>>& rows) {
    TBitmap b(int(rows[0].size()), int(rows.size()), TPixelFormat::Gray8);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) b.Row(int(y))[x] = rows[y][x];
    return b;
}

constexpr TRgb kWhite{255, 255, 255};
constexpr TRgb kBlack{0, 0, 0};

class AutoCropFormats : public ::testing::TestWithParam<TPixelFormat> {};

INSTANTIATE_TEST_SUITE_P(AllFormats, AutoCropFormats,
                         ::testing::Values(TPixelFormat::Bw1, TPixelFormat::Gray8, TPixelFormat::Palette8,
                                           TPixelFormat::Rgb24));

TEST_P(AutoCropFormats, BlackBorderIsCutOffExactly) {
    TBitmap page = Filled(83, 61, GetParam(), kWhite);
    const int border = 3;
    PaintRect(page, 0, 0, 82, border - 1, kBlack);
    PaintRect(page, 0, 61 - border, 82, 60, kBlack);
    PaintRect(page, 0, 0, border - 1, 60, kBlack);
    PaintRect(page, 83 - border, 0, 82, 60, kBlack);
    EXPECT_EQ(FindAutoCropBounds(page), (TCropBounds{3, 3, 79, 57}));
}

TEST_P(AutoCropFormats, UniformPageKeepsEverything) {
    const TCropBounds b = FindAutoCropBounds(Filled(40, 30, GetParam(), kWhite));
    EXPECT_EQ(b, (TCropBounds{0, 0, 39, 29}));
    EXPECT_FALSE(b.Cross());
}

TEST_P(AutoCropFormats, BlackPageGivesCrossingBounds) {
    // The average is 0, so no line is ordinary and every side takes its far end.
    const TCropBounds b = FindAutoCropBounds(Filled(40, 30, GetParam(), kBlack));
    EXPECT_EQ(b, (TCropBounds{39, 29, 0, 0}));
    EXPECT_TRUE(b.Cross());
}

TEST(AutoCrop, ValueIsTheChannelMean) {
    // Column values 70, 50, 60, 60, 60, 60 with the mean 60: the first two
    // lie exactly a sixth off and are not ordinary. (195, 0, 15) has the
    // channel mean 70 but a luminance of 60, which would keep column 0.
    TBitmap page = Filled(6, 4, TPixelFormat::Rgb24, TRgb{70, 60, 50});
    PaintRect(page, 0, 0, 0, 3, TRgb{195, 0, 15});
    PaintRect(page, 1, 0, 1, 3, TRgb{50, 50, 50});
    EXPECT_EQ(FindAutoCropBounds(page), (TCropBounds{2, 0, 5, 3}));
}

TEST(AutoCrop, ToleranceComparesStrictly) {
    // Mean 60 and tolerance 60 / 6 = 10: 70 and 50 lie exactly 10 off and are
    // not ordinary; 69 and 51 are.
    struct {
        std::vector<uint8_t> Line;
        int First, Last;
    } const cases[] = {
        {{70, 50, 60, 60}, 2, 3},
        {{69, 51, 60, 60}, 0, 3},
        {{60, 60, 50, 70}, 0, 1},
        {{60, 70, 60, 50}, 3, 0},  // no two neighbours are both ordinary
    };
    for (const auto& c : cases) {
        const TCropBounds columns = FindAutoCropBounds(GreyRows({c.Line, c.Line}));
        EXPECT_EQ(columns, (TCropBounds{c.First, 0, c.Last, 1}));
        std::vector<std::vector<uint8_t>> rows;
        for (uint8_t v : c.Line) rows.push_back({v, v});
        const TCropBounds lines = FindAutoCropBounds(GreyRows(rows));
        EXPECT_EQ(lines, (TCropBounds{0, c.First, 1, c.Last}));
    }
}

TEST(AutoCrop, EachSideStopsAtItsOwnBorder) {
    TBitmap page = Filled(100, 80, TPixelFormat::Rgb24, kWhite);
    PaintRect(page, 0, 0, 4, 79, TRgb{30, 30, 30});   // left scanner edge
    PaintRect(page, 0, 78, 99, 79, TRgb{10, 10, 10});  // bottom scanner edge
    EXPECT_EQ(FindAutoCropBounds(page), (TCropBounds{5, 0, 99, 77}));
}

TEST(AutoCrop, TinyAndEmptyPictures) {
    EXPECT_EQ(FindAutoCropBounds(Filled(1, 1, TPixelFormat::Rgb24, kWhite)), (TCropBounds{0, 0, 0, 0}));
    EXPECT_EQ(FindAutoCropBounds(Filled(1, 5, TPixelFormat::Gray8, kWhite)), (TCropBounds{0, 0, 0, 4}));
    EXPECT_TRUE(FindAutoCropBounds(TBitmap()).Cross());
}

}  // namespace
}  // namespace vellomar
