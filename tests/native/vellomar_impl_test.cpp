#include <gtest/gtest.h>

#include <stdexcept>

#include "control/VellomarImpl.h"
#include "platform/VellomarError.h"
#include "tests/native/Fakes.h"
#include "tests/native/PictureFixtures.h"

namespace vellomar {
namespace {

class VellomarXTest : public ::testing::Test {
protected:
    VellomarXTest() : Form(Fakes.Services) {
        Form.imgEn_view.SetViewSize(300, 200);
        Form.ActiveFormCreate();
    }
    void ShowPicture() { Form.imgEn_view.AssignBitmap(testing::PositionPicture(30, 20)); }

    testing::TFakeServices Fakes;
    TVellomarX Form;
};

TEST_F(VellomarXTest, CreationRegistersCursorsAndSetsUpTheController) {
    EXPECT_EQ(Fakes.Cursors.Registered, (std::vector<std::pair<int, std::string>>{
                                            {1, "Eraser"}, {2, "DRAWLINE"}, {3, "DRAWBOX"}, {4, "DRAWTEXT"}}));
    ASSERT_NE(Form.Controler(), nullptr);
    EXPECT_EQ(Form.imgEn_view.Undos().Limit(), 99);
    EXPECT_EQ(Form.Controler()->FToolMode, tmNone);
    EXPECT_EQ(Form.imgEn_view.Cursor(), 0);
    EXPECT_EQ(Form.FEraserRadius, 5);
    EXPECT_TRUE(Form.Properties.DoubleBuffered);
    EXPECT_EQ(Form.ErrCode(), 0);
    EXPECT_EQ(Form.ErrInfo(), "");
}

TEST_F(VellomarXTest, TheUndoActionKeepsItsResourceStateUntilTheFirstCommand) {
    EXPECT_TRUE(Form.act_Undo.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, "act_Undo");
    EXPECT_TRUE(Form.Command("NoSuchCommand", ""));
    EXPECT_FALSE(Form.act_Undo.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, "撤销");
}

TEST_F(VellomarXTest, AnUnknownCommandSucceeds) {
    EXPECT_TRUE(Form.Command("NoSuchCommand", "1,2"));
    EXPECT_TRUE(Form.Command("", ""));
    EXPECT_EQ(Form.ErrCode(), 0);
    EXPECT_EQ(Form.ErrInfo(), "");
    EXPECT_TRUE(Fakes.MessageBox.Shown.empty());
}

TEST_F(VellomarXTest, ACheckedFailureKeepsItsCodeAndIsShownOnlyWhenAskedFor) {
    EXPECT_FALSE(Form.Command("LoadPicture", ""));
    EXPECT_EQ(Form.ErrCode(), 1001);
    EXPECT_EQ(Form.ErrInfo(), "参数数量有误，请检查！");
    EXPECT_TRUE(Fakes.MessageBox.Shown.empty());

    EXPECT_TRUE(Form.Command("SetShowError", "1"));
    EXPECT_FALSE(Form.Command("loadpicture", ""));
    ASSERT_EQ(Fakes.MessageBox.Shown.size(), 1u);
    EXPECT_EQ(Fakes.MessageBox.Shown[0].first, "错误: 参数数量有误，请检查！");
    EXPECT_EQ(Form.ErrCode(), 1001);

    EXPECT_TRUE(Form.Command("FitImage", ""));
    EXPECT_EQ(Form.ErrCode(), 0);
    EXPECT_EQ(Form.ErrInfo(), "");
}

TEST_F(VellomarXTest, AnUncheckedFailureHasNoCode) {
    EXPECT_TRUE(Form.Command("SetShowError", "1"));
    EXPECT_FALSE(Form.Command("EditPicture", ""));
    EXPECT_EQ(Form.ErrCode(), 0);
    EXPECT_EQ(Form.ErrInfo(), "");
    ASSERT_EQ(Fakes.MessageBox.Shown.size(), 1u);
    EXPECT_EQ(Fakes.MessageBox.Shown[0].first, "错误: List index out of bounds (0)");
}

TEST_F(VellomarXTest, OtherExceptionsAreNotCaught) {
    Fakes.FontDialog.Raise = [] { throw std::logic_error("not ours"); };
    EXPECT_THROW(Form.Command("SetMarkFont", ""), std::logic_error);
}

TEST_F(VellomarXTest, TheUndoActionFollowsTheUndoList) {
    EXPECT_TRUE(Form.Command("Undo", ""));
    EXPECT_FALSE(Form.act_Undo.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, "撤销");

    ShowPicture();
    EXPECT_TRUE(Form.Command("RotateLeft", ""));
    EXPECT_TRUE(Form.act_Undo.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, "撤销 Rotate 90.00");

    Form.imgEn_view.SaveUndo();  // the program's own snapshot has no caption
    Form.UpdateUndoState();
    EXPECT_EQ(Form.act_Undo.Caption, "撤销 ");

    EXPECT_TRUE(Form.Command("Undo", ""));
    EXPECT_TRUE(Form.Command("Undo", ""));
    EXPECT_FALSE(Form.act_Undo.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, "撤销");
}

TEST_F(VellomarXTest, ACommandThatSnapshotsAndThenFailsLeavesTheUndoActionAlone) {
    ShowPicture();
    EXPECT_TRUE(Form.Command("FitImage", ""));
    const TAction before = Form.act_Undo;
    Fakes.PrintPreview.Raise = [] { throw EVellomarError("printer on fire"); };
    EXPECT_FALSE(Form.Command("Print", ""));
    EXPECT_EQ(Form.imgEn_view.Undos().Count(), 1);
    EXPECT_EQ(Form.act_Undo.Enabled, before.Enabled);
    EXPECT_EQ(Form.act_Undo.Caption, before.Caption);
    EXPECT_FALSE(Form.act_Undo.Enabled);
}

TEST_F(VellomarXTest, PrintPutsThePictureBackAndAddsOneUncaptionedStep) {
    ShowPicture();
    const TBitmap before = Form.imgEn_view.Bitmap();
    EXPECT_TRUE(Form.Command("Print", ""));
    EXPECT_EQ(Fakes.PrintPreview.Shows, 1);
    EXPECT_TRUE(Form.imgEn_view.Bitmap() == before);
    EXPECT_EQ(Form.act_Undo.Caption, "撤销 ");
}

TEST_F(VellomarXTest, ToolbarCommandsReachTheFormLayout) {
    EXPECT_TRUE(Form.Command("MarkPicture", "1"));
    EXPECT_TRUE(Form.Layout.TopPanelVisible());
    EXPECT_FALSE(Form.Layout.SeparatorVisible());
    EXPECT_TRUE(Form.Layout.IsVisible("btn_DrawRect"));
    EXPECT_TRUE(Form.Layout.ColorBarVisible());
    EXPECT_TRUE(Form.Command("EditPicture", "1"));
    EXPECT_TRUE(Form.Layout.SeparatorVisible());
    EXPECT_TRUE(Form.Layout.IsVisible("btn_Correction"));
    EXPECT_TRUE(Form.Command("MarkPicture", "0"));
    EXPECT_FALSE(Form.Layout.SeparatorVisible());
    EXPECT_TRUE(Form.Layout.TopPanelVisible());
    EXPECT_FALSE(Form.Layout.ColorBarVisible());
    EXPECT_TRUE(Form.Command("EditPicture", "0"));
    EXPECT_FALSE(Form.Layout.TopPanelVisible());
    Form.Layout.ToolbarRequest(3, true);
    EXPECT_FALSE(Form.Layout.TopPanelVisible());
}

TEST_F(VellomarXTest, DestructionFreesTheController) {
    Form.ActiveFormDestroy();
    EXPECT_EQ(Form.Controler(), nullptr);
    EXPECT_FALSE(Form.Command("FitImage", ""));
    EXPECT_EQ(Form.ErrCode(), 0);
}

}  // namespace
}  // namespace vellomar
