// The WinInet URL fetcher against the loopback HTTP and FTP servers of
// tools/win_servers.sh. Skipped when the environment names no server.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "LoopbackServers.h"
#include "platform/win32/WinInetUrlFetcher.h"

namespace vellomar {
namespace {

namespace fs = std::filesystem;
using testing::WriteFileText;

std::string AsText(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string BinaryBytes(size_t size) {
    std::string bytes = std::string("\0\r\n\x1a\xff", 5);
    for (size_t i = 0; bytes.size() < size; ++i) bytes.push_back(char(i * 7 + (i >> 8)));
    return bytes;
}

class UrlFetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto http = testing::TLoopbackHttp::FromEnvironment();
        if (!http) GTEST_SKIP() << "VELLOMAR_HTTP_PORT and _ROOT name no HTTP server";
        FHttp = *http;
    }

    testing::TLoopbackHttp FHttp;
    TWinInetUrlFetcher FFetcher;
    std::vector<uint8_t> FBody{'s', 't', 'a', 'l', 'e'};
};

TEST_F(UrlFetchTest, FetchesAWholeFileOverHttp) {
    const std::string bytes = BinaryBytes(300000);
    WriteFileText(FHttp.Root / "page.png", bytes);
    ASSERT_TRUE(FFetcher.Fetch(FHttp.Url("page.png"), FBody));
    EXPECT_EQ(AsText(FBody), bytes);
}

TEST_F(UrlFetchTest, AMissingFileFailsWithAnEmptyBody) {
    EXPECT_FALSE(FFetcher.Fetch(FHttp.Url("no-such-page.png"), FBody));
    EXPECT_TRUE(FBody.empty());
}

TEST_F(UrlFetchTest, ABodyAboveTheCapFails) {
    WriteFileText(FHttp.Root / "big.png", BinaryBytes(4096));
    TWinInetUrlFetcher capped(4095);
    EXPECT_FALSE(capped.Fetch(FHttp.Url("big.png"), FBody));
    EXPECT_TRUE(FBody.empty());
    TWinInetUrlFetcher exact(4096);
    EXPECT_TRUE(exact.Fetch(FHttp.Url("big.png"), FBody));
}

TEST_F(UrlFetchTest, OnlyHttpHttpsAndFtpAreFetched) {
    // A local file that a file: URL would otherwise hand out.
    WriteFileText(FHttp.Root / "secret.txt", "local file");
    const std::string fileUrl = "file:///" + (FHttp.Root / "secret.txt").generic_u8string();
    for (const std::string& url : {fileUrl, std::string("res://shell32.dll/1"),
                                   std::string("not a url"), std::string("")}) {
        EXPECT_FALSE(FFetcher.Fetch(url, FBody)) << url;
        EXPECT_TRUE(FBody.empty()) << url;
    }
}

TEST_F(UrlFetchTest, AnHttpsServerWithAnUntrustedCertificateIsRefused) {
    const auto port = testing::EnvironmentText("VELLOMAR_HTTPS_PORT");
    if (!port) GTEST_SKIP() << "VELLOMAR_HTTPS_PORT names no HTTPS server";
    WriteFileText(FHttp.Root / "tls.png", "picture");
    EXPECT_FALSE(FFetcher.Fetch("https://127.0.0.1:" + *port + "/tls.png", FBody));
    EXPECT_TRUE(FBody.empty());
}

TEST(UrlFetchFtpTest, FetchesAFileFromAnFtpUrl) {
    auto ftp = testing::TLoopbackFtp::FromEnvironment();
    if (!ftp) GTEST_SKIP() << "VELLOMAR_FTP_PORT, _ROOT and _LOG name no FTP server";
    const std::string bytes = BinaryBytes(100000);
    WriteFileText(ftp->Root / "url" / "page.png", bytes);
    TWinInetUrlFetcher fetcher;
    std::vector<uint8_t> body;
    const std::string base = "ftp://" + ftp->User + ":" + ftp->Password + "@127.0.0.1:" + ftp->Port;

    ASSERT_TRUE(fetcher.Fetch(base + "/url/page.png", body));
    EXPECT_EQ(AsText(body), bytes);
    EXPECT_FALSE(fetcher.Fetch(base + "/url/missing.png", body));
    EXPECT_TRUE(body.empty());
}

}  // namespace
}  // namespace vellomar
