// The picture view: zoom and fit, scrolling, selection, interaction sets,
// the picture operations with their undo captions, and the undo rules.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "picture/PictureView.h"
#include "platform/VellomarError.h"
#include "PictureSamples.h"

namespace vellomar {
namespace {

using testing::SamplePicture;
using testing::TSampleKind;

class PictureViewTest : public ::testing::Test {
protected:
    void Show(TBitmap picture, int viewWidth = 400, int viewHeight = 300) {
        View.SetViewSize(viewWidth, viewHeight);
        View.AssignBitmap(std::move(picture));
    }
    TPictureView View;
};

TEST_F(PictureViewTest, ZoomInAndOutStepByATenthAndIgnoreNonPositiveValues) {
    Show(SamplePicture(TSampleKind::Rgb24, 50, 40));
    View.SetZoom(View.Zoom() * 1.1L);
    EXPECT_DOUBLE_EQ(View.ZoomX(), 110);
    EXPECT_DOUBLE_EQ(View.ZoomY(), 110);
    for (int i = 1; i < 10; ++i) View.SetZoom(double(View.Zoom() * 1.1L));
    EXPECT_NEAR(View.Zoom(), 259.37424601, 1e-6);
    for (int i = 0; i < 10; ++i) View.SetZoom(double(View.Zoom() / 1.1L));
    EXPECT_NEAR(View.Zoom(), 100, 1e-9);
    View.SetZoom(0);
    View.SetZoom(-5);
    EXPECT_NEAR(View.Zoom(), 100, 1e-9);
}

TEST_F(PictureViewTest, FitUsesTheSmallerOfTheTwoRatios) {
    struct Case { int PictureW, PictureH, ViewW, ViewH, Border; double Zoom; };
    const Case cases[] = {
        {800, 300, 400, 300, 0, 50},          // twice as wide as the view
        {100, 50, 400, 300, 0, 400},          // small pictures grow
        {800, 300, 404, 300, 2, 50},          // the frame counts on both sides
        {300, 900, 400, 300, 0, 300 / 9.0},   // tall: the height decides
    };
    for (const Case& c : cases) {
        TPictureView view;
        view.SetBorderWidth(c.Border);
        view.SetViewSize(c.ViewW, c.ViewH);
        view.AssignBitmap(SamplePicture(TSampleKind::Gray8, c.PictureW, c.PictureH));
        view.Fit();
        EXPECT_DOUBLE_EQ(view.ZoomX(), c.Zoom) << c.PictureW << " x " << c.PictureH;
        EXPECT_DOUBLE_EQ(view.ZoomY(), c.Zoom);
        EXPECT_EQ(view.ViewX(), 0);
    }
    TPictureView empty;
    empty.SetViewSize(400, 300);
    empty.Fit();
    EXPECT_DOUBLE_EQ(empty.Zoom(), 100);
}

TEST_F(PictureViewTest, ZoomKeepsTheCentrePointAndClampsTheScroll) {
    Show(SamplePicture(TSampleKind::Gray8, 1000, 1000), 200, 100);
    View.SetViewXY(400, 300);  // centre at picture point (500, 350)
    View.SetZoom(200);
    EXPECT_EQ(View.ViewX(), 900);  // 500 × 2 − 100
    EXPECT_EQ(View.ViewY(), 650);  // 350 × 2 − 50
    EXPECT_EQ(View.XScr2Bmp(100), 500);
    View.SetViewXY(100000, -5);
    EXPECT_EQ(View.ViewX(), 2000 - 200);
    EXPECT_EQ(View.ViewY(), 0);
    View.SetZoom(10);  // smaller than the view: centred, no scrolling
    EXPECT_EQ(View.ViewX(), 0);
    EXPECT_EQ(View.OffsetX(), 50);
    EXPECT_EQ(View.XBmp2Scr(500), 100);
}

TEST_F(PictureViewTest, SelectionIsClippedAndDefaultsToTheWholePicture) {
    Show(SamplePicture(TSampleKind::Rgb24, 30, 20));
    EXPECT_EQ(View.SelectedRect(), (TRect{0, 0, 30, 20}));
    View.Select(TRect{-5, 10, 20, 50});
    EXPECT_TRUE(View.HasSelection());
    EXPECT_EQ(View.SelectedRect(), (TRect{0, 10, 15, 10}));
    View.Select(TRect{40, 0, 5, 5});
    EXPECT_FALSE(View.HasSelection());
    View.Select(TRect{1, 1, 2, 2});
    View.DeSelect();
    EXPECT_EQ(View.SelectedRect(), (TRect{0, 0, 30, 20}));
}

TEST_F(PictureViewTest, PictureAndAnnotationInteractionsExcludeEachOther) {
    View.SetMouseInteractVt({TMouseInteractVt::miPutBox});
    View.SetMouseInteract({TMouseInteract::miScroll});
    EXPECT_TRUE(View.MouseInteractVt().Empty());
    View.SetMouseInteractVt({TMouseInteractVt::miPutMemo});
    EXPECT_TRUE(View.MouseInteract().Empty());
    View.SetMouseInteract({});
    EXPECT_TRUE(View.MouseInteractVt().Contains(TMouseInteractVt::miPutMemo));
}

TEST_F(PictureViewTest, RotateCaptionsWithTwoDecimalsAndDotsInAnyLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a comma locale where installed
    Show(SamplePicture(TSampleKind::Rgb24, 30, 20));
    View.Rotate(90);
    EXPECT_EQ(View.Undos().NewestCaption(), "Rotate 90.00");
    View.Rotate(-2.346);
    EXPECT_EQ(View.Undos().NewestCaption(), "Rotate -2.35");
    View.Rotate(0);
    EXPECT_EQ(View.Undos().Count(), 2);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(PictureViewTest, NegativeAndLargeMultiplesOfNinetyAreExact) {
    const TBitmap start = SamplePicture(TSampleKind::Rgb24, 7, 5);
    Show(start);
    View.Rotate(-90);
    View.Rotate(450);
    EXPECT_EQ(View.Bitmap(), start);
    View.Rotate(270);
    View.Rotate(90);
    EXPECT_EQ(View.Bitmap(), start);
    View.Rotate(-180);
    View.Rotate(180);
    EXPECT_EQ(View.Bitmap(), start);
    EXPECT_EQ(View.Undos().Count(), 6);
}

TEST_F(PictureViewTest, RotateUsesTheViewBackgroundForUncoveredCorners) {
    Show(SamplePicture(TSampleKind::Rgb24, 40, 30));
    View.Rotate(10);
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), RgbOf(kViewBackground));
}

TEST_F(PictureViewTest, CropKeepsInclusiveCornersAndSkipsTheWholePicture) {
    const TBitmap start = SamplePicture(TSampleKind::Palette8, 30, 30);
    Show(start);
    View.Crop(0, 0, 29, 29);
    EXPECT_EQ(View.Undos().Count(), 0);
    View.Select(TRect{10, 5, 10, 20});
    const TRect r = View.SelectedRect();
    View.Crop(r.X, r.Y, r.X + r.Width - 1, r.Y + r.Height - 1);
    EXPECT_EQ(View.PictureWidth(), 10);
    EXPECT_EQ(View.PictureHeight(), 20);
    EXPECT_EQ(View.Undos().NewestCaption(), "Crop 10, 5, 19, 24");
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), start.GetPixel(10, 5));
    EXPECT_EQ(View.Bitmap().Palette(), start.Palette());
}

TEST_F(PictureViewTest, CropCornersOutsideThePictureAreClippedOrIgnored) {
    Show(SamplePicture(TSampleKind::Rgb24, 20, 10));
    View.Crop(-5, -5, 100, 100);  // clipped to the whole picture: nothing
    EXPECT_EQ(View.Undos().Count(), 0);
    View.Crop(15, 0, 5, 9);  // crossed corners: nothing to keep
    View.Crop(25, 0, 30, 9);  // wholly outside
    EXPECT_EQ(View.Undos().Count(), 0);
    EXPECT_EQ(View.PictureWidth(), 20);
    View.Crop(5, -3, 40, 4);
    EXPECT_EQ(View.Undos().NewestCaption(), "Crop 5, 0, 19, 4");
    EXPECT_EQ(View.PictureWidth(), 15);
    EXPECT_EQ(View.PictureHeight(), 5);
}

TEST_F(PictureViewTest, ImageResizeKeepsTheCentreRegion) {
    const TBitmap start = SamplePicture(TSampleKind::Gray8, 11, 9);
    Show(start);
    View.ImageResize(0, 5);
    View.ImageResize(11, 9);
    EXPECT_EQ(View.Undos().Count(), 0);
    View.ImageResize(6, 4);
    EXPECT_EQ(View.Undos().NewestCaption(), "ImageResize 6, 4");
    ASSERT_EQ(View.PictureWidth(), 6);
    // top-left at ((11 − 6) div 2, (9 − 4) div 2) = (2, 2)
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), start.GetPixel(2, 2));
    EXPECT_EQ(View.Bitmap().GetPixel(5, 3), start.GetPixel(7, 5));
}

TEST_F(PictureViewTest, BlankPaintsTheBackgroundKeepsTheSizeAndDropsAlpha) {
    Show(SamplePicture(TSampleKind::Rgb24Alpha, 9, 4));
    View.SetBackground(MakeColor(1, 2, 3));
    View.Blank();
    EXPECT_EQ(View.PictureWidth(), 9);
    EXPECT_EQ(View.PictureHeight(), 4);
    EXPECT_FALSE(View.Bitmap().HasAlpha());
    EXPECT_EQ(View.Bitmap().GetPixel(8, 3), (TRgb{1, 2, 3}));
}

TEST_F(PictureViewTest, UndoRestoresThePictureAndPushesTheCurrentOneOntoRedo) {
    TBitmap start = SamplePicture(TSampleKind::Palette8, 12, 8);
    start.EnsureAlpha();
    start.IOParams() = TIOParams{4, 1};
    Show(start);
    View.Rotate(90);
    View.Crop(1, 1, 5, 5);
    const TBitmap cropped = View.Bitmap();
    ASSERT_EQ(View.Undos().Count(), 2);
    View.Undo();
    EXPECT_EQ(View.Redos().Count(), 1);
    EXPECT_EQ(View.Redos().NewestCaption(), "Crop 1, 1, 5, 5");
    EXPECT_EQ(View.Redos().Newest(), cropped);
    View.Undo();
    EXPECT_EQ(View.Bitmap(), start);
    EXPECT_EQ(View.Bitmap().IOParams(), (TIOParams{4, 1}));
    EXPECT_TRUE(View.Undos().Empty());
    View.Undo();  // empty: nothing happens
    EXPECT_EQ(View.Bitmap(), start);
    EXPECT_EQ(View.Redos().Count(), 2);
}

TEST_F(PictureViewTest, UndoAtNoRemoveKeepsTheEntry) {
    const TBitmap start = SamplePicture(TSampleKind::Bw1, 20, 3);
    Show(start);
    View.SaveUndo();
    View.Rotate(90);
    View.UndoAtNoRemove();
    EXPECT_EQ(View.Bitmap(), start);
    EXPECT_EQ(View.Undos().Count(), 2);
    EXPECT_EQ(View.Undos().Caption(0), "");
}

TEST_F(PictureViewTest, NoSnapshotOfTinyPicturesOrWithALimitOfZero) {
    Show(SamplePicture(TSampleKind::Rgb24, 1, 5));
    View.Rotate(90);
    EXPECT_EQ(View.Undos().Count(), 0);
    EXPECT_EQ(View.PictureWidth(), 5);  // the operation still ran
    Show(SamplePicture(TSampleKind::Rgb24, 5, 5));
    View.Undos().SetLimit(0);
    View.Rotate(90);
    EXPECT_EQ(View.Undos().Count(), 0);
}

TEST_F(PictureViewTest, TheUndoListDropsTheOldestBeyondItsLimit) {
    Show(SamplePicture(TSampleKind::Gray8, 4, 3));
    for (int i = 0; i < 101; ++i) View.Rotate(90);
    EXPECT_EQ(View.Undos().Count(), 99);
    View.Undos().SetLimit(3);
    EXPECT_EQ(View.Undos().Count(), 3);
    View.Crop(0, 0, 1, 1);
    EXPECT_EQ(View.Undos().Count(), 3);
    EXPECT_EQ(View.Undos().Caption(2), "Crop 0, 0, 1, 1");
    EXPECT_EQ(View.Undos().Caption(0), "Rotate 90.00");
}

TEST_F(PictureViewTest, SavingWithAnUnknownExtensionNamesTheExtension) {
    Show(SamplePicture(TSampleKind::Rgb24, 4, 4));
    try {
        View.SaveToFile("/tmp/picture.xyz");
        FAIL() << "no error";
    } catch (const EVellomarError& e) {
        EXPECT_NE(std::string(e.what()).find("no picture format for extension \".xyz\""), std::string::npos)
            << e.what();
    }
}

TEST_F(PictureViewTest, RemoveAllObjectsEmptiesTheLayerAndTheSelection) {
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {5, 5}});
    const int memo = View.Objects().AddFromTemplate(TObjectKind::Memo, {{2, 2}, {8, 8}});
    View.Objects().SelectOnly(memo);
    int repaints = 0;
    View.OnRepaint = [&] { ++repaints; };
    View.RemoveAllObjects();
    EXPECT_EQ(View.Objects().Count(), 0);
    EXPECT_EQ(View.Objects().SelectedCount(), 0);
    EXPECT_EQ(repaints, 1);
}

}  // namespace
}  // namespace vellomar
