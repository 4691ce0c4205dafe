// Row profiles of rotations: the pixel values of every format, and the fast
// walk over prefix sums against really rotating the picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeskewPages.h"
#include "command/Deskew.h"
#include "command/RotatedRowProfile.h"

namespace vellomar {
namespace {

using testing::RandomPicture;
using testing::TextPage;
using testing::TPageLayout;

TEST(RowProfile, StraightProfileSumsTheSkewValuesOfEachRow) {
    TBitmap colour(2, 2, TPixelFormat::Rgb24);
    colour.SetPixel(0, 0, TRgb{100, 0, 0});    // 2100 div 100 = 21
    colour.SetPixel(1, 0, TRgb{0, 100, 0});    // 71
    colour.SetPixel(0, 1, TRgb{0, 0, 255});    // 2040 div 100 = 20
    colour.SetPixel(1, 1, TRgb{255, 255, 255});  // 25500 div 100 = 255
    EXPECT_EQ(RowProfileByRotation(colour, 0), (TRowProfile{92, 275}));

    TBitmap bits(9, 2, TPixelFormat::Bw1);  // a set bit is white and counts
    bits.Row(0)[0] = 0xA5;                  // 4 set
    bits.Row(0)[1] = 0x80;                  // the ninth pixel
    bits.Row(1)[0] = 0xFF;
    EXPECT_EQ(RowProfileByRotation(bits, 0), (TRowProfile{5, 8}));

    TBitmap palette(3, 1, TPixelFormat::Palette8);
    palette.Palette() = {TRgb{100, 0, 0}, TRgb{0, 0, 255}};
    palette.Row(0)[0] = 0;
    palette.Row(0)[1] = 1;
    palette.Row(0)[2] = 77;  // past the end of the palette: black
    EXPECT_EQ(RowProfileByRotation(palette, 0), (TRowProfile{41}));

    for (const TBitmap& picture : {colour, bits, palette})
        EXPECT_EQ(TRotatedRowProfiler(picture).Profile(0), RowProfileByRotation(picture, 0));
}

struct TProfileCase {
    std::string Name;
    TBitmap Picture;
};

std::vector<TProfileCase> ProfileCases() {
    std::vector<TProfileCase> cases;
    const TPixelFormat formats[] = {TPixelFormat::Bw1, TPixelFormat::Gray8, TPixelFormat::Palette8,
                                    TPixelFormat::Rgb24};
    for (TPixelFormat format : formats)
        // Heights past 128 and 256 rows cross the bands of the step table.
        for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {33, 17}, {64, 5}, {37, 91}, {61, 290}, {301, 13}})
            cases.push_back({"random " + std::to_string(int(format)) + " " + std::to_string(w) + "x" +
                                 std::to_string(h),
                             RandomPicture(w, h, format, uint32_t(w * 31 + h))});
    // Indices past the end of the palette count as black.
    TBitmap wild = RandomPicture(30, 20, TPixelFormat::Palette8, 3);
    for (int y = 0; y < 20; ++y) wild.Row(y)[y] = uint8_t(200 + y);
    cases.push_back({"palette with wild indices", wild});
    for (TPixelFormat format : {TPixelFormat::Rgb24, TPixelFormat::Bw1}) {
        TPageLayout layout;
        layout.Format = format;
        layout.TiltDegrees = 2.3;
        layout.Border = 6;
        cases.push_back({"text page " + std::to_string(int(format)), TextPage(layout)});
    }
    return cases;
}

TEST(RowProfile, FastWalkEqualsRotationForEveryCandidate) {
    for (const TProfileCase& c : ProfileCases()) {
        const TRotatedRowProfiler profiler(c.Picture);
        for (double angle : SkewCandidates())
            ASSERT_EQ(profiler.Profile(angle), RowProfileByRotation(c.Picture, angle))
                << c.Name << " by " << angle;
    }
}

TEST(RowProfile, FastWalkEqualsRotationForSteepAngles) {
    // Far beyond the search's range the walk takes many repeated columns
    // per row (cos a < 1/2); from 90 degrees on it hands over to the plain path.
    const double angles[] = {12.5, -17.3, 33.3, -44.9, 45, 59.99, 60, -75.5, 89.99, 90, -120, 200, 271};
    for (const TProfileCase& c : ProfileCases()) {
        const TRotatedRowProfiler profiler(c.Picture);
        for (double angle : angles)
            ASSERT_EQ(profiler.Profile(angle), RowProfileByRotation(c.Picture, angle))
                << c.Name << " by " << angle;
    }
}

TEST(RowProfile, EmptyPictureHasAnEmptyProfile) {
    const TBitmap empty;
    EXPECT_TRUE(TRotatedRowProfiler(empty).Profile(3).empty());
    EXPECT_TRUE(RowProfileByRotation(empty, 3).empty());
}

}  // namespace
}  // namespace vellomar
