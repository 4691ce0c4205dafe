#include <gtest/gtest.h>

#include "command/ScanPictureControler.h"
#include "platform/FileSystem.h"
#include "platform/VellomarError.h"
#include "tests/native/Fakes.h"
#include "tests/native/PictureFixtures.h"
#include "tests/native/RunCommand.h"
#include "tests/native/TempDir.h"

namespace vellomar {
namespace {

using testing::FilledPicture;
using testing::PositionPicture;

class ScanControlerTest : public ::testing::Test {
protected:
    ScanControlerTest() : Controler(View, Fakes.Services) {
        View.SetViewSize(400, 300);
        View.Undos().SetLimit(99);
    }

    // Runs a command the way the control's entry does; answers the error text
    // or "" when it succeeded.
    std::string Run(const std::string& name, const std::string& params = "") {
        return testing::RunCommand(Controler, name, params);
    }

    void Show(TBitmap picture) { View.AssignBitmap(std::move(picture)); }

    testing::TFakeServices Fakes;
    TPictureView View;
    TScanPictureControler Controler;
};

TEST_F(ScanControlerTest, ConstructionDerivesThePictureFolderAndDefaults) {
    EXPECT_EQ(Controler.FPictureDir, "C:\\App\\Pictures");
    EXPECT_EQ(Controler.FEraseColor, 0x00FFFFFFu);
    EXPECT_EQ(Controler.FToolMode, tmNone);
    EXPECT_FALSE(Controler.FShowError);
    EXPECT_EQ(Controler.GetProcessor().FDocWidth, 793);
    EXPECT_EQ(Controler.GetProcessor().FDocHeight, 1122);
    EXPECT_EQ(PictureDirFor("C:\\ctl.ocx"), "C:\\Pictures");
    EXPECT_EQ(PictureDirFor("/opt/app/ctl.ocx"), "/opt/app/Pictures");
}

TEST_F(ScanControlerTest, AllThirtyFourCommandsAreFoundAndTheNoOpsSucceed) {
    const char* names[] = {"SetShowError", "SetDocumentSize", "EditPicture", "MarkPicture", "SetFtpParam",
                           "Undo", "Redo", "LoadPicture", "SavePicture", "DeletePicture", "ZoomIn",
                           "ZoomOut", "RotateLeft", "RotateRight", "Restore", "Preview", "Print", "Select",
                           "ScrollImage", "FitImage", "AutoStretch", "ImageCut", "AutoCrop", "Eraser",
                           "Correction", "CorrectionDone", "Clear", "SetForeColor", "SetLineFormat",
                           "DrawLine", "SetMarkFont", "MarkText", "SelectArea", "ClearMark"};
    for (const char* name : names) EXPECT_TRUE(Controler.CommandExists(name)) << name;
    Show(PositionPicture(5, 4));
    const TBitmap before = View.Bitmap();
    for (const char* name : {"Redo", "Preview", "Eraser", "CorrectionDone", "SetForeColor", "SetLineFormat",
                             "DrawLine", "MarkText", "SelectArea"}) {
        EXPECT_EQ(Run(name, "1,2,3"), "") << name;
    }
    EXPECT_TRUE(View.Bitmap() == before);
    EXPECT_EQ(View.Undos().Count(), 0);
}

struct TModeCase {
    uint8_t Mode;
    int Cursor;
    TMouseInteractSet Interact;
    TMouseInteractVtSet InteractVt;
};

class ToolModeTest : public ScanControlerTest, public ::testing::WithParamInterface<TModeCase> {};

TEST_P(ToolModeTest, ArmsTheModesInteraction) {
    const TModeCase& k = GetParam();
    Show(PositionPicture(20, 20));
    View.Select(TRect{1, 1, 5, 5});
    View.Objects().Template().Highlight = true;
    View.SetMouseInteractVt({TMouseInteractVt::miObjectSelect});
    Controler.SetToolMode(k.Mode);
    EXPECT_EQ(Controler.FToolMode, k.Mode);
    EXPECT_EQ(View.Cursor(), k.Cursor);
    EXPECT_EQ(View.MouseInteract(), k.Interact);
    EXPECT_EQ(View.MouseInteractVt(), k.InteractVt);
    EXPECT_FALSE(View.HasSelection());
    EXPECT_FALSE(View.Objects().Template().Highlight);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ToolModeTest,
    ::testing::Values(
        TModeCase{tmNone, 0, {}, {}}, TModeCase{tmEraser, 1, {}, {}},
        TModeCase{tmDrawLine, 2, {}, {TMouseInteractVt::miPutPolyLine}},
        TModeCase{tmDrawBox, 3, {}, {TMouseInteractVt::miPutBox}},
        TModeCase{tmMarkText, 4, {}, {TMouseInteractVt::miPutMemo}},
        TModeCase{tmScroll, -22, {TMouseInteract::miScroll}, {}},
        TModeCase{tmSelect, -3, {TMouseInteract::miSelect}, {}},
        TModeCase{77, 77, {}, {}}, TModeCase{200, -56, {}, {}}));

TEST_F(ScanControlerTest, SetToolModeDoesNothingWithoutABitmapObject) {
    Controler.SetToolMode(tmScroll);
    View.DropBitmapObject();
    Controler.SetToolMode(tmSelect);
    EXPECT_EQ(Controler.FToolMode, tmScroll);
    EXPECT_EQ(View.Cursor(), -22);
}

TEST_F(ScanControlerTest, SelectAndScrollImageChangeOnlyTheInteraction) {
    Show(PositionPicture(20, 20));
    Controler.SetToolMode(tmDrawBox);
    View.Select(TRect{2, 2, 4, 4});
    EXPECT_EQ(Run("Select"), "");
    EXPECT_EQ(View.MouseInteract(), TMouseInteractSet{TMouseInteract::miSelect});
    EXPECT_TRUE(View.MouseInteractVt().Empty()) << "the view ends the box drawing";
    EXPECT_TRUE(View.HasSelection()) << "Select keeps the selection";
    EXPECT_EQ(Controler.FToolMode, tmDrawBox);
    EXPECT_EQ(View.Cursor(), 3);

    EXPECT_EQ(Run("ScrollImage"), "");
    EXPECT_EQ(View.MouseInteract(), TMouseInteractSet{TMouseInteract::miScroll});
    EXPECT_FALSE(View.HasSelection());
    EXPECT_EQ(Controler.FToolMode, tmDrawBox);
}

TEST_F(ScanControlerTest, ToolbarCommandsGoThroughTheCallbackWithAnExactOne) {
    std::vector<std::pair<int, bool>> calls;
    EXPECT_EQ(Run("EditPicture"), "") << "no callback: nothing is read";
    Controler.FOnToolbar = [&](int32_t kind, bool show) { calls.emplace_back(kind, show); };
    for (const char* p : {"1", "0", "\"\"", "yes", "01", "\" 1\""}) Run("EditPicture", p);
    Run("MarkPicture", "1");
    EXPECT_EQ(calls, (std::vector<std::pair<int, bool>>{
                         {1, true}, {1, false}, {1, false}, {1, false}, {1, false}, {1, false}, {2, true}}));
    EXPECT_EQ(Run("MarkPicture"), "List index out of bounds (0)");
    EXPECT_EQ(Controler.FErrCode, 0);
}

TEST_F(ScanControlerTest, SetShowErrorNeedsOneItem) {
    EXPECT_EQ(Run("SetShowError"), "参数数量有误，请检查！");
    EXPECT_EQ(Controler.FErrCode, 1001);
    EXPECT_EQ(Run("SetShowError", "1"), "");
    EXPECT_TRUE(Controler.FShowError);
    EXPECT_EQ(Run("SetShowError", "0"), "");
    EXPECT_FALSE(Controler.FShowError);
}

TEST_F(ScanControlerTest, SetDocumentSizeReadsHeightFirst) {
    EXPECT_EQ(Run("SetDocumentSize", "100,200"), "");
    EXPECT_EQ(Controler.GetProcessor().FDocWidth, 377);
    EXPECT_EQ(Controler.GetProcessor().FDocHeight, 755);
    EXPECT_EQ(Run("SetDocumentSize", "abc,100"), "");
    EXPECT_EQ(Controler.GetProcessor().FDocWidth, -3);
    EXPECT_EQ(Controler.GetProcessor().FDocHeight, 377);
    EXPECT_EQ(Run("SetDocumentSize", "50"), "List index out of bounds (1)");
    EXPECT_EQ(Controler.GetProcessor().FDocWidth, -3);
}

TEST_F(ScanControlerTest, ZoomCommandsStepByTenPercent) {
    Show(PositionPicture(100, 100));
    Run("AutoStretch");
    EXPECT_DOUBLE_EQ(View.ZoomX(), 100.0);
    Run("ZoomIn");
    EXPECT_NEAR(View.ZoomX(), 110.0, 1e-9);
    EXPECT_DOUBLE_EQ(View.ZoomY(), View.ZoomX());
    Run("ZoomOut");
    EXPECT_NEAR(View.ZoomX(), 100.0, 1e-9);
    for (int i = 0; i < 10; ++i) Run("ZoomIn");
    EXPECT_NEAR(View.ZoomX(), 259.374246, 1e-5);
    Run("AutoStretch");
    EXPECT_EQ(View.ZoomX(), 100.0);
}

TEST_F(ScanControlerTest, FitAndRestoreFitTheWholePicture) {
    Show(PositionPicture(800, 200));  // twice as wide as the 400 × 300 view
    Run("AutoStretch");
    Run("FitImage");
    EXPECT_DOUBLE_EQ(View.ZoomX(), 50.0);
    Run("AutoStretch");
    Run("Restore");
    EXPECT_DOUBLE_EQ(View.ZoomY(), 50.0);
}

TEST_F(ScanControlerTest, RotationsTurnAndLeaveOneUndoEntryEach) {
    const TBitmap start = PositionPicture(30, 20);
    Show(start);
    Run("RotateLeft");
    ASSERT_EQ(View.PictureWidth(), 20);
    ASSERT_EQ(View.PictureHeight(), 30);
    // The left column is the old top row read from right to left.
    for (int y = 0; y < 30; ++y) EXPECT_EQ(View.Bitmap().GetPixel(0, y), start.GetPixel(29 - y, 0)) << y;
    EXPECT_EQ(View.Undos().NewestCaption(), "Rotate 90.00");
    Run("RotateRight");
    EXPECT_EQ(View.Undos().NewestCaption(), "Rotate 270.00");
    EXPECT_TRUE(View.Bitmap() == start);
    EXPECT_EQ(View.Undos().Count(), 2);
}

TEST_F(ScanControlerTest, ImageCutCropsToTheSelection) {
    Show(PositionPicture(40, 40));
    Run("ImageCut");
    EXPECT_EQ(View.Undos().Count(), 0) << "nothing selected: nothing cut";
    View.Select(TRect{10, 5, 10, 20});
    Run("ImageCut");
    EXPECT_EQ(View.PictureWidth(), 10);
    EXPECT_EQ(View.PictureHeight(), 20);
    EXPECT_FALSE(View.HasSelection());
    EXPECT_EQ(View.Undos().NewestCaption(), "Crop 10, 5, 19, 24");
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), PositionPicture(40, 40).GetPixel(10, 5));
}

TEST_F(ScanControlerTest, UndoStepsBackAndRemembersTheRedo) {
    const TBitmap start = PositionPicture(6, 4);
    Show(start);
    EXPECT_EQ(Run("Undo"), "") << "empty list: nothing";
    Run("RotateLeft");
    Run("Undo");
    EXPECT_TRUE(View.Bitmap() == start);
    EXPECT_EQ(View.Undos().Count(), 0);
    EXPECT_EQ(View.Redos().Count(), 1);
}

TEST_F(ScanControlerTest, AutoCropRemovesTheBorderAndSparesABlackPage) {
    Show(testing::PageWithBorder(60, 60, 3));
    Run("AutoCrop");
    EXPECT_EQ(View.PictureWidth(), 54);
    EXPECT_EQ(View.PictureHeight(), 54);
    EXPECT_EQ(View.Undos().NewestCaption(), "Crop 3, 3, 56, 56");

    Show(FilledPicture(30, 30, TRgb{0, 0, 0}));
    View.ClearUndo();
    Run("AutoCrop");
    EXPECT_EQ(View.PictureWidth(), 30);
    EXPECT_EQ(View.Undos().Count(), 0);

    Show(FilledPicture(30, 30, TRgb{255, 255, 255}));
    Run("AutoCrop");
    EXPECT_EQ(View.PictureWidth(), 30);
    EXPECT_EQ(View.Undos().Count(), 0);
}

TEST_F(ScanControlerTest, CorrectionOfAStraightPageCutsTheLastColumnAndRow) {
    Show(testing::BarredPage(200, 150));
    std::vector<int> phases;
    Controler.FOnProgress = [&](TScanPictureControler& sender, int32_t phase) {
        EXPECT_EQ(&sender, &Controler);
        phases.push_back(phase);
    };
    EXPECT_EQ(Run("Correction"), "");
    EXPECT_EQ(phases, (std::vector<int>{0, 1}));
    EXPECT_EQ(View.PictureWidth(), 199);
    EXPECT_EQ(View.PictureHeight(), 149);
    ASSERT_EQ(View.Undos().Count(), 2);
    EXPECT_EQ(View.Undos().Caption(0), "RotateAndCrop");
    EXPECT_EQ(View.Undos().Caption(1), "ImageResize 199, 149");
    // The centred cut keeps the top-left pixel where it was.
    EXPECT_TRUE(View.Bitmap().GetPixel(10, 4) == (TRgb{40, 40, 40}));
}

// The page that tools/make_test_fixtures.sh draws for the Windows script
// client (bordered-bars.jpg), and the steps that client runs on it: the size
// found here is the size the Windows run must save.
TEST_F(ScanControlerTest, TheWindowsClientsStepsOnItsPage) {
    TBitmap page = FilledPicture(320, 240, TRgb{0, 0, 0});
    for (int y = 8; y <= 231; ++y)
        for (int x = 8; x <= 311; ++x) page.SetPixel(x, y, TRgb{255, 255, 255});
    for (int bar = 40; bar <= 200; bar += 40)
        for (int y = bar; y <= bar + 3; ++y)
            for (int x = 8; x <= 311; ++x) page.SetPixel(x, y, TRgb{0x30, 0x30, 0x30});
    Show(page);
    for (const char* step : {"RotateLeft", "Undo", "Correction", "AutoCrop", "RotateLeft", "Undo"}) {
        EXPECT_EQ(Run(step), "") << step;
    }
    EXPECT_EQ(View.PictureWidth(), 304);
    EXPECT_EQ(View.PictureHeight(), 224);
}

TEST_F(ScanControlerTest, SetMarkFontShowsTheDialog) {
    EXPECT_EQ(Run("SetMarkFont"), "");
    EXPECT_EQ(Fakes.FontDialog.Shows, 1);
}

// --- local files ---------------------------------------------------------

class ScanControlerFileTest : public ScanControlerTest {
protected:
    std::string Saved(const std::string& name, const TBitmap& picture) {
        TPictureView scratch;
        scratch.AssignBitmap(TBitmap(picture));
        const std::string path = Dir.Path() + "/" + name;
        scratch.SaveToFile(path);
        return path;
    }
    testing::TTempDir Dir;
};

TEST_F(ScanControlerFileTest, FileCommandsCheckTheirParameters) {
    for (const char* name : {"LoadPicture", "SavePicture", "DeletePicture"}) {
        EXPECT_EQ(Run(name, ""), "参数数量有误，请检查！") << name;
        EXPECT_EQ(Controler.FErrCode, 1001);
        EXPECT_EQ(Run(name, "0,"), "第2个参数为空，请检查！") << name;
        EXPECT_EQ(Controler.FErrCode, 1002);
    }
}

TEST_F(ScanControlerFileTest, LoadPictureStartsAFreshEditingState) {
    const std::string path = Saved("page.png", PositionPicture(80, 50));
    Show(PositionPicture(10, 10));
    Run("RotateLeft");
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {4, 4}});
    EXPECT_EQ(Run("LoadPicture", "0," + path), "");
    EXPECT_EQ(View.PictureWidth(), 80);
    EXPECT_EQ(View.Undos().Count(), 0);
    EXPECT_EQ(View.Redos().Count(), 0);
    EXPECT_EQ(View.Objects().Count(), 0);
    EXPECT_DOUBLE_EQ(View.ZoomX(), 500.0) << "fitted: the smaller of 400 / 0.8 and 300 / 0.5";
    EXPECT_EQ(Controler.FToolMode, tmScroll);
    EXPECT_EQ(Run("loadpicture", "7," + path), "") << "other modes load the local file";
}

TEST_F(ScanControlerFileTest, LoadPictureOfAMissingFileNamesThePath) {
    const std::string missing = Dir.Path() + "/none.jpg";
    EXPECT_EQ(Run("LoadPicture", "0," + missing), "文件[" + missing + "]不存在！");
    EXPECT_EQ(Controler.FErrCode, 5004);
}

TEST_F(ScanControlerFileTest, AFailedLoadLeavesTheViewAsItWas) {
    const std::string broken = Dir.Write("broken.jpg", "this is no picture at all");
    const TBitmap start = PositionPicture(10, 10);
    Show(start);
    Run("RotateLeft");
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {4, 4}});
    EXPECT_NE(Run("LoadPicture", "0," + broken), "");
    EXPECT_EQ(Controler.FErrCode, 0);
    EXPECT_EQ(View.Undos().Count(), 1);
    EXPECT_EQ(View.Objects().Count(), 1);
    EXPECT_EQ(View.PictureWidth(), 10);
}

TEST_F(ScanControlerFileTest, SavePictureCreatesFoldersAndKeepsTheOldFileOnFailure) {
    Show(PositionPicture(12, 9));
    const std::string nested = Dir.Path() + "/a/b/c/page.bmp";
    EXPECT_EQ(Run("SavePicture", "0," + nested), "");
    TPictureView check;
    check.LoadFromFile(nested);
    EXPECT_TRUE(check.Bitmap() == View.Bitmap());

    EXPECT_EQ(Run("SavePicture", "0,page.jpg"), "Unable to create directory");
    const std::string unknown = Dir.Write("page.xyz", "old content");
    EXPECT_NE(Run("SavePicture", "0," + unknown), "") << "no format for the extension";
    EXPECT_EQ(ReadWholeFile(unknown), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'}));
}

TEST_F(ScanControlerFileTest, DeletePictureDeletesAndBlanks) {
    const std::string path = Saved("gone.png", PositionPicture(5, 5));
    Show(PositionPicture(8, 6));
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {4, 4}});
    EXPECT_EQ(Run("DeletePicture", "0," + path), "");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(View.PictureWidth(), 8);
    EXPECT_EQ(View.Bitmap().GetPixel(3, 3), (TRgb{235, 242, 255}));
    EXPECT_EQ(View.Objects().Count(), 1) << "annotations stay";

    Show(PositionPicture(8, 6));
    EXPECT_EQ(Run("DeletePicture", "0," + path), "文件删除失败！");
    EXPECT_EQ(Controler.FErrCode, 5003);
    EXPECT_EQ(View.Bitmap().GetPixel(3, 3), PositionPicture(8, 6).GetPixel(3, 3)) << "not blanked";
    EXPECT_EQ(Run("DeletePicture", "2," + path), "") << "mode 2 deletes nothing";
    EXPECT_EQ(View.Bitmap().GetPixel(3, 3), (TRgb{235, 242, 255}));
}

TEST_F(ScanControlerFileTest, ClearBlanksAndClearMarkRemovesAnnotations) {
    Show(PositionPicture(8, 6));
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {4, 4}});
    EXPECT_EQ(Run("ClearMark", "x"), "");
    EXPECT_EQ(View.Objects().Count(), 0);
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), PositionPicture(8, 6).GetPixel(0, 0));
    View.Objects().AddFromTemplate(TObjectKind::Box, {{1, 1}, {4, 4}});
    EXPECT_EQ(Run("Clear"), "");
    EXPECT_EQ(View.Objects().Count(), 0);
    EXPECT_EQ(View.PictureWidth(), 8);
    EXPECT_EQ(View.PictureHeight(), 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(View.Bitmap().GetPixel(x, y), (TRgb{235, 242, 255}));
}

TEST_F(ScanControlerFileTest, UrlModeLoadsFetchedBytesAndFailsCleanly) {
    const std::string path = Saved("remote.png", PositionPicture(16, 12));
    Fakes.Urls.Bodies["http://127.0.0.1/remote.png"] = ReadWholeFile(path);
    Fakes.Urls.Bodies["https://127.0.0.1/text"] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(Run("LoadPicture", "2,http://127.0.0.1/remote.png"), "");
    EXPECT_EQ(View.PictureWidth(), 16);
    EXPECT_EQ(Controler.FToolMode, tmScroll);

    Run("RotateLeft");
    for (const char* url : {"http://127.0.0.1/missing.png", "https://127.0.0.1/text", "C:\\not-a-url.png"}) {
        EXPECT_NE(Run("LoadPicture", std::string("2,") + url), "") << url;
        EXPECT_EQ(Controler.FErrCode, 0);
        EXPECT_EQ(View.PictureWidth(), 12) << "the view keeps its picture";
        EXPECT_EQ(View.Undos().Count(), 1);
    }
}

}  // namespace
}  // namespace vellomar
