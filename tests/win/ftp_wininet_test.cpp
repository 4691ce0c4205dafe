// The FTP utility over the real WinInet, against the loopback FTP server of
// tools/win_servers.sh. Skipped when the environment names no server.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "LoopbackServers.h"
#include "ftp/FtpUtil.h"
#include "ftp/InternetSession.h"

namespace vellomar {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::WriteFileText;

// Bytes that an ASCII-mode transfer or a cut one would change.
std::string PictureBytes(size_t size, uint32_t seed) {
    std::string bytes = std::string("\x89PNG\r\n\x1a\n\0\r\r\n\n", 13);
    while (bytes.size() < size) {
        seed = seed * 1664525u + 1013904223u;
        bytes.push_back(char(seed >> 24));
    }
    return bytes;
}

size_t EntriesIn(const fs::path& folder) {
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A loopback port on which nothing can listen while it lives: the socket is
// bound but never listens, so a connection there is refused.
class TRefusingPort {
public:
    TRefusingPort() {
        WSADATA data;
        FStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        if (FSocket != INVALID_SOCKET &&
            bind(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            FPort = ntohs(address.sin_port);
        }
    }
    ~TRefusingPort() {
        if (FSocket != INVALID_SOCKET) closesocket(FSocket);
        if (FStarted) WSACleanup();
    }
    TRefusingPort(const TRefusingPort&) = delete;
    TRefusingPort& operator=(const TRefusingPort&) = delete;
    int Port() const { return FPort; }

private:
    bool FStarted = false;
    SOCKET FSocket = INVALID_SOCKET;
    int FPort = 0;
};

class WinInetFtpTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto server = testing::TLoopbackFtp::FromEnvironment();
        if (!server) GTEST_SKIP() << "VELLOMAR_FTP_PORT, _ROOT and _LOG name no FTP server";
        FServer = *server;
        static int serial = 0;
        FCase = "case" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
        fs::create_directories(FServer.Root / FCase);
        FLogStart = FServer.ReadLog().size();
    }

    void Connect() {
        FFtp.SetParams("127.0.0.1", FServer.Port, FServer.User, FServer.Password);
        ASSERT_TRUE(FFtp.FConnected);
    }
    // The remote path of a file of this test, as the host would write it.
    std::string Remote(const std::string& name) const { return FCase + "/" + name; }
    fs::path ServerFile(const std::string& name) const {
        return FServer.Root / FCase / fs::u8path(name);
    }
    // The commands the server received since the test began.
    std::string NewLog() const { return FServer.ReadLog().substr(FLogStart); }

    testing::TLoopbackFtp FServer;
    std::string FCase;
    size_t FLogStart = 0;
    testing::TWinTempDir FLocal{"ftp"};
    TFtpUtiler FFtp{CreateSystemInternetSession()};
};

TEST_F(WinInetFtpTest, DownloadsIntoANestedLocalFolderInBinaryMode) {
    const std::string bytes = PictureBytes(200000, 1);
    WriteFileText(ServerFile("2024/01/a.jpg"), bytes);
    Connect();
    // Backslashes, then slashes as a Unix server's path would bring them.
    const std::string local = FLocal.Utf8("Pictures") + "\\" + FCase + "/2024/01/a.jpg";

    ASSERT_TRUE(FFtp.Download(local, Remote("2024/01/a.jpg")));
    EXPECT_EQ(ReadFileText(fs::u8path(local)), bytes);
    EXPECT_EQ(EntriesIn(fs::u8path(local).parent_path()), 1u);
}

TEST_F(WinInetFtpTest, DownloadReplacesAnExistingLocalCopy) {
    WriteFileText(ServerFile("a.jpg"), "new picture");
    const std::string local = FLocal.Utf8("a.jpg");
    WriteFileText(fs::u8path(local), "old picture, longer than the new one");
    Connect();

    ASSERT_TRUE(FFtp.Download(local, Remote("a.jpg")));
    EXPECT_EQ(ReadFileText(fs::u8path(local)), "new picture");
    EXPECT_EQ(EntriesIn(FLocal.Path()), 1u);
}

TEST_F(WinInetFtpTest, UploadCreatesTheMissingSecondLevel) {
    const std::string bytes = PictureBytes(150000, 2);
    const std::string local = FLocal.Utf8("a.jpg");
    WriteFileText(fs::u8path(local), bytes);
    Connect();

    // The first level (the test's folder) exists; its creation fails harmlessly.
    ASSERT_TRUE(FFtp.Upload(local, Remote("new/a.jpg")));
    EXPECT_EQ(ReadFileText(ServerFile("new/a.jpg")), bytes);
    const std::string log = NewLog();
    EXPECT_NE(log.find("<- MKD " + FCase + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find("<- MKD " + FCase + "/new\n"), std::string::npos) << log;
}

TEST_F(WinInetFtpTest, DeletesARemoteFile) {
    WriteFileText(ServerFile("gone.jpg"), "picture");
    Connect();
    EXPECT_TRUE(FFtp.DeleteRemoteFile(Remote("gone.jpg")));
    EXPECT_FALSE(fs::exists(ServerFile("gone.jpg")));
    EXPECT_FALSE(FFtp.DeleteRemoteFile(Remote("gone.jpg")));
}

TEST_F(WinInetFtpTest, ASecondSetParamsLogsInAgainAndTransfersStillWork) {
    WriteFileText(ServerFile("a.jpg"), "picture");
    Connect();
    Connect();
    const std::string log = NewLog();
    size_t logins = 0;
    for (size_t at = log.find("<- USER "); at != std::string::npos; at = log.find("<- USER ", at + 1)) {
        ++logins;
    }
    EXPECT_EQ(logins, 2u) << log;
    EXPECT_TRUE(FFtp.Download(FLocal.Utf8("a.jpg"), Remote("a.jpg")));
}

TEST_F(WinInetFtpTest, TransfersRunInActiveMode) {
    WriteFileText(ServerFile("a.jpg"), "picture");
    Connect();
    ASSERT_TRUE(FFtp.Download(FLocal.Utf8("a.jpg"), Remote("a.jpg")));
    ASSERT_TRUE(FFtp.Upload(FLocal.Utf8("a.jpg"), Remote("b.jpg")));
    const std::string log = NewLog();
    EXPECT_NE(log.find("<- PORT "), std::string::npos) << log;
    EXPECT_EQ(log.find("<- PASV"), std::string::npos) << log;
    EXPECT_EQ(log.find("<- EPSV"), std::string::npos) << log;
    EXPECT_NE(log.find("<- TYPE I"), std::string::npos) << log;
}

TEST_F(WinInetFtpTest, ALocalPathOutsideTheAnsiCodePageStillWorks) {
    const std::string bytes = PictureBytes(5000, 3);
    WriteFileText(ServerFile("a.jpg"), bytes);
    Connect();
    // 扫描 and 页.jpg: not in a Western ANSI code page.
    const std::string local = FLocal.Utf8("\xE6\x89\xAB\xE6\x8F\x8F/\xE9\xA1\xB5.jpg");

    ASSERT_TRUE(FFtp.Download(local, Remote("a.jpg")));
    EXPECT_EQ(ReadFileText(fs::u8path(local)), bytes);
    ASSERT_TRUE(FFtp.Upload(local, Remote("back.jpg")));
    EXPECT_EQ(ReadFileText(ServerFile("back.jpg")), bytes);
}

TEST_F(WinInetFtpTest, RemotePathsReachTheServerInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "expects the Western ANSI code page 1252";
    const std::string local = FLocal.Utf8("a.jpg");
    WriteFileText(fs::u8path(local), "picture");
    Connect();

    // The UTF-8 name café.jpg travels as the single byte E9 for its é.
    ASSERT_TRUE(FFtp.Upload(local, Remote("caf\xC3\xA9.jpg")));
    EXPECT_NE(NewLog().find("<- STOR " + FCase + "/caf\\xe9.jpg\n"), std::string::npos) << NewLog();
    ASSERT_TRUE(FFtp.Download(FLocal.Utf8("back.jpg"), Remote("caf\xC3\xA9.jpg")));
    EXPECT_EQ(ReadFileText(FLocal.Path() / "back.jpg"), "picture");
    EXPECT_TRUE(FFtp.DeleteRemoteFile(Remote("caf\xC3\xA9.jpg")));
}

TEST_F(WinInetFtpTest, ARemotePathOutsideTheAnsiCodePageIsNeverSent) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 ANSI code page holds every name";
    const std::string local = FLocal.Utf8("a.jpg");
    WriteFileText(fs::u8path(local), "the previous local copy");
    Connect();
    // Devanagari KA, in neither the Western nor the Chinese code page.
    const std::string remote = Remote("\xE0\xA4\x95.jpg");

    EXPECT_FALSE(FFtp.Upload(local, remote));
    EXPECT_FALSE(FFtp.Download(local, remote));
    EXPECT_FALSE(FFtp.DeleteRemoteFile(remote));
    EXPECT_EQ(ReadFileText(fs::u8path(local)), "the previous local copy");
    const std::string log = NewLog();
    for (const char* command : {"<- STOR", "<- RETR", "<- DELE"}) {
        EXPECT_EQ(log.find(command), std::string::npos) << log;
    }
}

// Every way of failing answers false and leaves the local copy as it was.
enum class TFailure { WrongPassword, NobodyListens, MissingRemoteFile };

class WinInetFtpFailureTest : public WinInetFtpTest,
                              public ::testing::WithParamInterface<TFailure> {};

TEST_P(WinInetFtpFailureTest, FailsAndChangesNothingLocally) {
    WriteFileText(ServerFile("a.jpg"), "the server's picture");
    const std::string local = FLocal.Utf8("2024/a.jpg");
    WriteFileText(fs::u8path(local), "the previous local copy");
    TRefusingPort refusing;

    switch (GetParam()) {
    case TFailure::WrongPassword:
        FFtp.SetParams("127.0.0.1", FServer.Port, FServer.User, FServer.Password + "-wrong");
        break;
    case TFailure::NobodyListens:
        ASSERT_NE(refusing.Port(), 0);
        FFtp.SetParams("127.0.0.1", std::to_string(refusing.Port()), FServer.User,
                       FServer.Password);
        break;
    case TFailure::MissingRemoteFile:
        Connect();
        break;
    }
    const std::string remote =
        Remote(GetParam() == TFailure::MissingRemoteFile ? "missing.jpg" : "a.jpg");
    EXPECT_EQ(FFtp.FConnected, GetParam() == TFailure::MissingRemoteFile);
    if (!FFtp.FConnected) {
        EXPECT_FALSE(FFtp.FSession) << "a failed connect keeps no session";
    }

    EXPECT_FALSE(FFtp.Download(local, remote));
    EXPECT_EQ(ReadFileText(fs::u8path(local)), "the previous local copy");
    EXPECT_EQ(EntriesIn(fs::u8path(local).parent_path()), 1u);
    if (GetParam() != TFailure::MissingRemoteFile) {
        EXPECT_FALSE(FFtp.Upload(local, Remote("up.jpg")));
        EXPECT_FALSE(FFtp.DeleteRemoteFile(Remote("a.jpg")));
        EXPECT_TRUE(fs::exists(ServerFile("a.jpg")));
        EXPECT_FALSE(fs::exists(ServerFile("up.jpg")));
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, WinInetFtpFailureTest,
                         ::testing::Values(TFailure::WrongPassword, TFailure::NobodyListens,
                                           TFailure::MissingRemoteFile),
                         [](const auto& info) {
                             switch (info.param) {
                             case TFailure::WrongPassword: return std::string("WrongPassword");
                             case TFailure::NobodyListens: return std::string("NobodyListens");
                             default: return std::string("MissingRemoteFile");
                             }
                         });

}  // namespace
}  // namespace vellomar
