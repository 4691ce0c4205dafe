#include <gtest/gtest.h>

#include "command/ScanPictureControler.h"
#include "ftp/FtpUtil.h"
#include "platform/FileSystem.h"
#include "platform/VellomarError.h"
#include "tests/native/FakeInternetSession.h"
#include "tests/native/Fakes.h"
#include "tests/native/PictureFixtures.h"
#include "tests/native/RunCommand.h"
#include "tests/native/TempDir.h"

namespace vellomar {
namespace {

std::string PngOf(const TBitmap& picture, const std::string& scratchPath) {
    TPictureView scratch;
    scratch.AssignBitmap(TBitmap(picture));
    scratch.SaveToFile(scratchPath);
    const std::vector<uint8_t> bytes = ReadWholeFile(scratchPath);
    return std::string(bytes.begin(), bytes.end());
}

// The file commands in FTP mode over a recording internet library. The module
// sits in a temporary folder, so the picture folder is <temp>/Pictures.
class FtpModeTest : public ::testing::Test {
protected:
    FtpModeTest()
        : Fakes(Dir.Path() + "/Vellomar.ocx"),
          State(std::make_shared<testing::TFakeInternetState>()),
          Ftp(std::make_unique<testing::TFakeInternetSession>(State)),
          Controler(View, Fakes.Services) {
        Controler.FFtp = &Ftp;
        View.SetViewSize(200, 200);
        State->RemoteContent = PngOf(testing::PositionPicture(24, 16), Dir.Path() + "/remote.png");
    }

    std::string Run(const std::string& name, const std::string& params = "") {
        return testing::RunCommand(Controler, name, params);
    }
    void Connect() { ASSERT_EQ(Run("SetFtpParam", "127.0.0.1,2121,user,"), ""); }
    std::string Pictures() const { return Dir.Path() + "/Pictures"; }

    testing::TTempDir Dir;
    testing::TFakeServices Fakes;
    std::shared_ptr<testing::TFakeInternetState> State;
    TFtpUtiler Ftp;
    TPictureView View;
    TScanPictureControler Controler;
};

TEST_F(FtpModeTest, SetFtpParamChecksItsItemsAndConnects) {
    EXPECT_EQ(Run("SetFtpParam", "host,21,user"), "参数数量有误，请检查！");
    EXPECT_EQ(Controler.FErrCode, 1001);
    EXPECT_EQ(Run("SetFtpParam", "host,21,,pw"), "第3个参数为空，请检查！");
    EXPECT_EQ(Run("SetFtpParam", ",21,user,pw"), "第1个参数为空，请检查！");
    EXPECT_TRUE(State->Calls.empty());

    EXPECT_EQ(Run("SetFtpParam", "127.0.0.1,abc,user,"), "") << "an empty password is fine";
    EXPECT_EQ(Ftp.FPort, 21);
    EXPECT_TRUE(Ftp.FConnected);

    State->ConnectSucceeds = false;
    EXPECT_EQ(Run("SetFtpParam", "127.0.0.1,2121,user,pw"), "") << "a failed connection is not reported";
    EXPECT_FALSE(Ftp.FConnected);
}

TEST_F(FtpModeTest, LoadPictureDownloadsToTheLocalCopyAndLoadsIt) {
    Connect();
    EXPECT_EQ(Run("LoadPicture", "1,a.png"), "");
    EXPECT_EQ(State->Calls.back(), "GetFile(#2, a.png, <local>, 0, 128, 2147483650, 255)");
    EXPECT_EQ(State->LastGetLocalPath.rfind(Pictures() + "\\a.png", 0), 0u)
        << "the transfer goes beside the local copy: " << State->LastGetLocalPath;
    EXPECT_TRUE(FileExists(Pictures() + "\\a.png"));
    EXPECT_EQ(View.PictureWidth(), 24);
    EXPECT_EQ(Controler.FToolMode, tmScroll);
    EXPECT_EQ(Run("LoadPicture", "1,\\a.png"), "") << "a leading backslash gives the same copy";
}

TEST_F(FtpModeTest, AFailedDownloadIsCode5001AndChangesNothing) {
    EXPECT_EQ(Run("LoadPicture", "1,a.png"), "文件下载失败！") << "before any SetFtpParam";
    EXPECT_EQ(Controler.FErrCode, 5001);

    Connect();
    View.AssignBitmap(testing::PositionPicture(8, 8));
    View.SaveUndo("step");
    State->GetSucceeds = false;
    EXPECT_EQ(Run("LoadPicture", "1,a.png"), "文件下载失败！");
    EXPECT_EQ(View.PictureWidth(), 8);
    EXPECT_EQ(View.Undos().Count(), 1);
}

TEST_F(FtpModeTest, ARemotePathThatClimbsOutOfThePictureFolderIsRefused) {
    Connect();
    const size_t callsBefore = State->Calls.size();
    for (const char* path : {"..\\evil.png", "a/../../evil.png", "2024\\..\\..\\x\\evil.png"}) {
        EXPECT_NE(Run("LoadPicture", std::string("1,") + path), "") << path;
        EXPECT_NE(Run("SavePicture", std::string("1,") + path), "") << path;
    }
    EXPECT_EQ(State->Calls.size(), callsBefore) << "nothing reached the server";
    EXPECT_FALSE(FileExists(Dir.Path() + "/evil.png"));
    EXPECT_EQ(Run("LoadPicture", "1,2024/../a.png"), "") << "climbing back inside is fine";
}

TEST_F(FtpModeTest, SavePictureWritesTheLocalCopyFirstThenUploads) {
    Connect();
    View.AssignBitmap(testing::PositionPicture(10, 10));
    EXPECT_EQ(Run("SavePicture", "1,b.png"), "");
    EXPECT_TRUE(FileExists(Pictures() + "\\b.png"));
    EXPECT_EQ(State->Calls.back(), "PutFile(#2, " + Pictures() + "\\b.png, b.png, 2, 255)");

    State->PutSucceeds = false;
    EXPECT_EQ(Run("SavePicture", "1,c.png"), "文件上传失败！");
    EXPECT_EQ(Controler.FErrCode, 5002);
    EXPECT_TRUE(FileExists(Pictures() + "\\c.png")) << "the local copy stays";
}

TEST_F(FtpModeTest, DeletePictureInFtpModeKeepsTheLocalCopy) {
    Connect();
    View.AssignBitmap(testing::PositionPicture(10, 10));
    ASSERT_EQ(Run("SavePicture", "1,d.png"), "");
    EXPECT_EQ(Run("DeletePicture", "1,d.png"), "");
    EXPECT_EQ(State->Calls.back(), "DeleteRemoteFile(#2, d.png)");
    EXPECT_TRUE(FileExists(Pictures() + "\\d.png"));
    EXPECT_EQ(View.Bitmap().GetPixel(0, 0), (TRgb{235, 242, 255}));

    View.AssignBitmap(testing::PositionPicture(10, 10));
    State->DeleteSucceeds = false;
    EXPECT_EQ(Run("DeletePicture", "1,d.png"), "文件删除失败！");
    EXPECT_EQ(Controler.FErrCode, 5003);
    EXPECT_EQ(View.Bitmap().GetPixel(1, 1), testing::PositionPicture(10, 10).GetPixel(1, 1));
}

}  // namespace
}  // namespace vellomar
