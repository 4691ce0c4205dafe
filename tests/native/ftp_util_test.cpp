// The FTP utility over a recording internet library: what it asks of the
// library, in which order, and what it answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FakeInternetSession.h"
#include "TempDir.h"
#include "ftp/FtpUtil.h"

namespace vellomar {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

const std::string kOpen = "OpenSession(KOLFTP, 0, 0)";

std::string ConnectCall(const std::string& session, int port) {
    return "Connect(" + session + ", ftp.example.org, " + std::to_string(port) +
           ", scanner, s3cret, 1, 0, 255)";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t EntriesIn(const std::string& folder) {
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FtpUtilTest : public ::testing::Test {
protected:
    void SetParams(const std::string& port = "21") {
        FFtp->SetParams("ftp.example.org", port, "scanner", "s3cret");
    }

    std::shared_ptr<testing::TFakeInternetState> FState =
        std::make_shared<testing::TFakeInternetState>();
    std::unique_ptr<TFtpUtiler> FFtp =
        std::make_unique<TFtpUtiler>(std::make_unique<testing::TFakeInternetSession>(FState));
    testing::TTempDir FTemp;
};

TEST_F(FtpUtilTest, StartsUnconnected) {
    EXPECT_FALSE(FFtp->FConnected);
    EXPECT_FALSE(FFtp->FSession);
    EXPECT_FALSE(FFtp->FConnection);
    EXPECT_EQ(FFtp->FPort, 0);
    EXPECT_EQ(FFtp->FHost, "");
}

TEST_F(FtpUtilTest, SetParamsStoresTheServerAndConnectsInActiveMode) {
    SetParams("2121");
    EXPECT_EQ(FState->Calls, (Calls{kOpen, ConnectCall("#1", 2121)}));
    EXPECT_TRUE(FFtp->FConnected);
    EXPECT_EQ(FFtp->FHost, "ftp.example.org");
    EXPECT_EQ(FFtp->FUserName, "scanner");
    EXPECT_EQ(FFtp->FPassword, "s3cret");
    EXPECT_EQ(FFtp->FSession.Get(), reinterpret_cast<TInternetHandleValue>(1));
    EXPECT_EQ(FFtp->FConnection.Get(), reinterpret_cast<TInternetHandleValue>(2));
}

TEST_F(FtpUtilTest, ASecondSetParamsClosesTheConnectionThenTheSessionAndConnectsAnew) {
    SetParams();
    SetParams();
    EXPECT_EQ(FState->Calls, (Calls{kOpen, ConnectCall("#1", 21), "Close(#2)", "Close(#1)",
                                    kOpen, ConnectCall("#3", 21)}));
    EXPECT_TRUE(FFtp->FConnected);
    EXPECT_EQ(FState->OpenHandles, (std::set<uintptr_t>{3, 4}));
    EXPECT_EQ(FState->BadCloses, 0);
}

TEST_F(FtpUtilTest, AFailedConnectClosesItsSession) {
    FState->ConnectSucceeds = false;
    SetParams();
    EXPECT_EQ(FState->Calls, (Calls{kOpen, ConnectCall("#1", 21), "Close(#1)"}));
    EXPECT_FALSE(FFtp->FConnected);
    EXPECT_FALSE(FFtp->FSession);
    EXPECT_TRUE(FState->OpenHandles.empty());

    // Nothing is held, so the next attempt closes nothing first.
    FState->Calls.clear();
    FState->ConnectSucceeds = true;
    SetParams();
    EXPECT_EQ(FState->Calls, (Calls{kOpen, ConnectCall("#2", 21)}));
    EXPECT_TRUE(FFtp->FConnected);
}

TEST_F(FtpUtilTest, NoSessionMeansNoConnectAttempt) {
    FState->OpenSucceeds = false;
    SetParams();
    EXPECT_EQ(FState->Calls, (Calls{kOpen}));
    EXPECT_FALSE(FFtp->FConnected);
}

TEST_F(FtpUtilTest, DisconnectClosesConnectionThenSessionAndKeepsTheFlag) {
    SetParams();
    FState->Calls.clear();
    EXPECT_TRUE(FFtp->Disconnect());
    EXPECT_EQ(FState->Calls, (Calls{"Close(#2)", "Close(#1)"}));
    EXPECT_TRUE(FFtp->FConnected);
    EXPECT_FALSE(FFtp->FSession);
    EXPECT_FALSE(FFtp->FConnection);
    EXPECT_TRUE(FFtp->Disconnect());
    EXPECT_EQ(FState->Calls.size(), 2u);
}

TEST_F(FtpUtilTest, DestroyingTheUtilityClosesWhatItHolds) {
    SetParams();
    FFtp.reset();
    EXPECT_EQ(FState->Calls.back(), "Close(#1)");
    EXPECT_EQ(FState->Calls[FState->Calls.size() - 2], "Close(#2)");
    EXPECT_TRUE(FState->OpenHandles.empty());
    EXPECT_EQ(FState->BadCloses, 0);
}

struct TPortCase {
    const char* Text;
    int32_t Stored;
    int Connected;
};

class FtpPortTest : public FtpUtilTest, public ::testing::WithParamInterface<TPortCase> {};

TEST_P(FtpPortTest, PortTextIsAWholeNumberWithDefault21AndConnectsWithItsLow16Bits) {
    SetParams(GetParam().Text);
    EXPECT_EQ(FFtp->FPort, GetParam().Stored);
    EXPECT_EQ(FState->Calls, (Calls{kOpen, ConnectCall("#1", GetParam().Connected)}));
}

INSTANTIATE_TEST_SUITE_P(
    Ports, FtpPortTest,
    ::testing::Values(TPortCase{"abc", 21, 21}, TPortCase{"", 21, 21}, TPortCase{"21x", 21, 21},
                      TPortCase{"2121", 2121, 2121}, TPortCase{" 2121", 2121, 2121},
                      TPortCase{"0", 0, 0}, TPortCase{"$50", 0x50, 0x50},
                      TPortCase{"0x1F90", 8080, 8080}, TPortCase{"70000", 70000, 70000 - 65536},
                      TPortCase{"-1", -1, 65535}, TPortCase{"99999999999", 21, 21}));

// Before any SetParams there is no connection: every remote operation
// answers false and the library sees no call.
TEST_F(FtpUtilTest, RemoteOperationsBeforeSetParamsFailWithoutReachingTheLibrary) {
    const std::string local = FTemp.Path() + "/Pictures/2024/01/a.jpg";
    EXPECT_FALSE(FFtp->Download(local, "2024/01/a.jpg"));
    EXPECT_FALSE(FFtp->Upload(local, "2024/01/a.jpg"));
    EXPECT_FALSE(FFtp->DeleteRemoteFile("2024/01/a.jpg"));
    EXPECT_FALSE(FFtp->CreateRemoteDir("2024"));
    EXPECT_FALSE(FFtp->ForceRemoteDirs("2024/01/a.jpg"));
    EXPECT_TRUE(FState->Calls.empty());
    // The download still made the local folders, and wrote nothing in them.
    EXPECT_TRUE(fs::is_directory(FTemp.Path() + "/Pictures/2024/01"));
    EXPECT_EQ(EntriesIn(FTemp.Path() + "/Pictures/2024/01"), 0u);
}

struct TRemoteDirsCase {
    const char* Path;
    std::vector<std::string> Created;
    bool Answer;
};

class ForceRemoteDirsTest : public FtpUtilTest,
                            public ::testing::WithParamInterface<TRemoteDirsCase> {};

TEST_P(ForceRemoteDirsTest, CreatesEveryPrefixTopDown) {
    SetParams();
    FState->Calls.clear();
    EXPECT_EQ(FFtp->ForceRemoteDirs(GetParam().Path), GetParam().Answer);
    Calls expected;
    for (const std::string& dir : GetParam().Created) expected.push_back("CreateRemoteDir(#2, " + dir + ")");
    EXPECT_EQ(FState->Calls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    RemotePaths, ForceRemoteDirsTest,
    ::testing::Values(TRemoteDirsCase{"2024/01/a.jpg", {"2024", "2024/01"}, true},
                      // The empty first prefix fails, as a server refuses it.
                      TRemoteDirsCase{"\\2024\\01\\a.jpg", {"", "\\2024", "\\2024\\01"}, false},
                      TRemoteDirsCase{"a.jpg", {}, true}));

TEST_F(FtpUtilTest, UploadCreatesTheMissingRemoteLevelsThenPutsTheFileInBinary) {
    FState->ExistingRemoteDirs = {"2024"};
    SetParams();
    FState->Calls.clear();
    EXPECT_TRUE(FFtp->Upload("/pictures/a.jpg", "2024/01/a.jpg"));
    EXPECT_EQ(FState->Calls, (Calls{"CreateRemoteDir(#2, 2024)", "CreateRemoteDir(#2, 2024/01)",
                                    "PutFile(#2, /pictures/a.jpg, 2024/01/a.jpg, 2, 255)"}));
    FState->PutSucceeds = false;
    EXPECT_FALSE(FFtp->Upload("/pictures/a.jpg", "2024/01/a.jpg"));
}

TEST_F(FtpUtilTest, DeleteRemoteFileAsksForThePathAsWritten) {
    SetParams();
    FState->Calls.clear();
    EXPECT_TRUE(FFtp->DeleteRemoteFile("\\2024\\01\\a.jpg"));
    EXPECT_EQ(FState->Calls, (Calls{"DeleteRemoteFile(#2, \\2024\\01\\a.jpg)"}));
    FState->DeleteSucceeds = false;
    EXPECT_FALSE(FFtp->DeleteRemoteFile("a.jpg"));
}

TEST_F(FtpUtilTest, DownloadReplacesTheLocalCopyThroughASibling) {
    SetParams();
    FState->Calls.clear();
    const std::string folder = FTemp.Path() + "/2024/01";
    fs::create_directories(folder);
    const std::string local = folder + "/a.jpg";
    std::ofstream(local, std::ios::binary) << "old copy";

    EXPECT_TRUE(FFtp->Download(local, "2024/01/a.jpg"));
    EXPECT_EQ(FState->Calls,
              (Calls{"GetFile(#2, 2024/01/a.jpg, <local>, 0, 128, 2147483650, 255)"}));
    EXPECT_NE(FState->LastGetLocalPath, local);
    EXPECT_EQ(fs::path(FState->LastGetLocalPath).parent_path(), fs::path(folder));
    EXPECT_EQ(ReadText(local), FState->RemoteContent);
    EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST_F(FtpUtilTest, DownloadIntoMissingFoldersCreatesThem) {
    SetParams();
    const std::string local = FTemp.Path() + "/Pictures/2024/01/a.jpg";
    EXPECT_TRUE(FFtp->Download(local, "2024/01/a.jpg"));
    EXPECT_EQ(ReadText(local), FState->RemoteContent);
}

struct TFailedGetCase {
    const char* Name;
    const char* PartialContent;
};

class FailedDownloadTest : public FtpUtilTest,
                           public ::testing::WithParamInterface<TFailedGetCase> {};

TEST_P(FailedDownloadTest, KeepsThePreviousLocalCopyAndLeavesNoPartialFile) {
    SetParams();
    const std::string local = FTemp.Write("a.jpg", "old copy");
    FState->GetSucceeds = false;
    FState->PartialContent = GetParam().PartialContent;

    EXPECT_FALSE(FFtp->Download(local, "a.jpg"));
    EXPECT_EQ(ReadText(local), "old copy");
    EXPECT_EQ(EntriesIn(FTemp.Path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(Transfers, FailedDownloadTest,
                         ::testing::Values(TFailedGetCase{"Refused", ""},
                                           TFailedGetCase{"Cut", "half a pic"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FtpUtilTest, AFailedFirstDownloadCreatesNoLocalFile) {
    SetParams();
    FState->GetSucceeds = false;
    FState->PartialContent = "half a pic";
    EXPECT_FALSE(FFtp->Download(FTemp.Path() + "/a.jpg", "a.jpg"));
    EXPECT_EQ(EntriesIn(FTemp.Path()), 0u);
}

TEST_F(FtpUtilTest, NoOperationRaisesWhenTheLibraryDoes) {
    SetParams();
    FState->Throws = true;
    const std::string local = FTemp.Write("a.jpg", "old copy");
    const std::vector<std::function<bool()>> operations = {
        [&] { return FFtp->Upload(local, "a/a.jpg"); },
        [&] { return FFtp->Download(local, "a.jpg"); },
        [&] { return FFtp->DeleteRemoteFile("a.jpg"); },
        [&] { return FFtp->CreateRemoteDir("a"); },
        [&] { return FFtp->ForceRemoteDirs("a/b/c.jpg"); },
        [&] { return FFtp->Connect(); },
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        bool answer = true;
        EXPECT_NO_THROW(answer = operations[i]()) << "operation " << i;
        EXPECT_FALSE(answer) << "operation " << i;
    }
    EXPECT_EQ(ReadText(local), "old copy");
    EXPECT_NO_THROW(SetParams());
    EXPECT_FALSE(FFtp->FConnected);
    EXPECT_NO_THROW(FFtp->Disconnect());
    EXPECT_NO_THROW(FFtp.reset());
}

TEST(GetFtpUtilerTest, AnswersOneProcessWideUtilityUntilItIsFreed) {
    TFtpUtiler& first = GetFtpUtiler();
    EXPECT_EQ(&first, &GetFtpUtiler());
    first.FHost = "kept";
    EXPECT_EQ(GetFtpUtiler().FHost, "kept");
    FreeFtpUtiler(false);
    EXPECT_EQ(GetFtpUtiler().FHost, "") << "a new utility after an unload";
}

}  // namespace
}  // namespace vellomar
