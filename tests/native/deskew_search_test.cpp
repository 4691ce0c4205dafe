// The skew-angle search: candidate order, score, choice of the winner, the
// fast search against the reference and the angles found on tilted pages.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "DeskewPages.h"
#include "command/Deskew.h"

namespace vellomar {
namespace {

using testing::TextPage;
using testing::TPageLayout;

TEST(SkewSearch, CandidatesRunFromZeroDownToMinusFiveThenUpToFive) {
    const std::vector<double> c = SkewCandidates();
    ASSERT_EQ(c.size(), 101u);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_EQ(c[1], -0.1);
    EXPECT_EQ(c[51], 0.1);
    for (size_t i = 1; i <= 50; ++i) {
        EXPECT_NEAR(c[i], -0.1 * double(i), 1e-12) << i;
        EXPECT_EQ(c[50 + i], -c[i]) << i;  // the same steps with the other sign
    }
    // The accumulated rounding leaves the last step a hair inside 5.
    EXPECT_LT(c[50], -4.9999999);
    EXPECT_GT(c[50], -5.0);
    EXPECT_GT(c[100], 4.9999999);
    EXPECT_LT(c[100], 5.0);
}

TEST(SkewSearch, ScoreSumsSquaredStepsOfTheNormalisedProfile) {
    struct {
        TRowProfile Profile;
        int64_t Score;
    } const cases[] = {
        {{}, 0},
        {{42}, 0},
        {{0, 0, 0}, 0},
        {{7, 7, 7, 7}, 0},
        {{0, 500, 1000}, 500 * 500 + 500 * 500},
        {{0, 5, 10}, 500 * 500 + 500 * 500},  // normalised to 0, 500, 1000
        {{3, 1}, 667 * 667},                  // 1000 and Trunc(333.33) = 333
        {{2, 3, 0}, 334 * 334 + 1000 * 1000},  // 666, 1000, 0
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileScore(c.Profile), c.Score);
}

TEST(SkewSearch, BestIsTheFirstStrictlyHighestScore) {
    struct {
        std::vector<int64_t> Scores;
        size_t Best;
    } const cases[] = {
        {{0, 0, 0}, 0},       // all zero: the first candidate, angle 0
        {{0, 5, 5, 3}, 1},    // a tie goes to the earlier candidate
        {{9, 5, 9, 3}, 0},
        {{1, 2, 3, 4}, 3},
        {{4, 3, 2, 1}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(BestCandidate(c.Scores), c.Best);
}

std::string Describe(const TPageLayout& layout) {
    return std::to_string(int(layout.Format)) + " tilt " + std::to_string(layout.TiltDegrees) + " border " +
           std::to_string(layout.Border);
}

std::vector<TPageLayout> TiltedPages() {
    std::vector<TPageLayout> pages;
    for (TPixelFormat format : {TPixelFormat::Rgb24, TPixelFormat::Bw1})
        for (double tilt : {0.0, 2.0, -1.3, 3.75, -4.4})
            for (int border : {0, 5}) {
                TPageLayout layout;
                layout.Format = format;
                layout.TiltDegrees = tilt;
                layout.Border = border;
                pages.push_back(layout);
            }
    return pages;
}

TEST(SkewSearch, FastScoresEqualTheReference) {
    for (const TPageLayout& layout : TiltedPages()) {
        const TBitmap page = TextPage(layout);
        EXPECT_EQ(SkewScores(page), SkewScoresReference(page)) << Describe(layout);
    }
}

TEST(SkewSearch, FindsTheTurnThatStraightensTheLines) {
    // A page turned counter-clockwise (lines climbing to the right) is turned
    // back clockwise: the angle found is about minus the tilt, to within a
    // step of the candidate grid. The page must be wide enough for a tenth
    // of a degree to move a line end by more than a pixel; on narrower ones
    // the steps at the uncovered corners of the rotation outweigh the text.
    for (TPageLayout layout : TiltedPages()) {
        layout.Width = 1000;
        layout.Height = 750;
        layout.Border *= 4;
        const double angle = FindSkewAngle(TextPage(layout));
        EXPECT_NEAR(angle, -layout.TiltDegrees, 0.1 + 1e-9) << Describe(layout);
        if (layout.TiltDegrees == 0) {
            EXPECT_EQ(angle, 0.0) << Describe(layout);
        }
    }
}

TEST(SkewSearch, PictureWithoutScoresGivesZero) {
    // All black: every row of every rotation sums to 0.
    const TBitmap black(60, 40, TPixelFormat::Rgb24);
    EXPECT_EQ(SkewScores(black), std::vector<int64_t>(101, 0));
    EXPECT_EQ(FindSkewAngle(black), 0.0);
    EXPECT_EQ(FindSkewAngleReference(black), 0.0);
    EXPECT_EQ(FindSkewAngle(TBitmap()), 0.0);
}

TEST(SkewSearch, MirroredTieGoesToTheEarlierNegativeAngle) {
    // Two bars crossing at ±3 degrees: the picture is its own mirror image,
    // so turning by -a and by +a gives mirrored rotations with the same row
    // profile, and the best angle exists with both signs.
    TBitmap picture(161, 81, TPixelFormat::Gray8);
    const double slope = std::tan(3 * 3.14159265358979323846 / 180);
    for (int x = 0; x < 161; ++x)
        for (int sign : {-1, 1}) {
            const int y = int(std::lround(40 + sign * (x - 80) * slope));
            for (int dy = 0; dy < 2; ++dy) picture.Row(y + dy)[x] = 255;
        }
    const std::vector<double> candidates = SkewCandidates();
    const std::vector<int64_t> scores = SkewScores(picture);
    const size_t best = BestCandidate(scores);
    ASSERT_LT(candidates[best], 0.0);
    ASSERT_EQ(scores[best], scores[best + 50]) << "no tie at " << candidates[best];
    EXPECT_EQ(FindSkewAngle(picture), candidates[best]);
    EXPECT_EQ(FindSkewAngleReference(picture), candidates[best]);
}

}  // namespace
}  // namespace vellomar
