// The FTP utility's path helpers and the local folder creation.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "FakeInternetSession.h"
#include "TempDir.h"
#include "ftp/FtpUtil.h"

namespace vellomar {
namespace {

namespace fs = std::filesystem;

struct TSeparatorCountCase {
    const char* Path;
    int32_t Expected;
};

class SeparatorCountTest : public ::testing::TestWithParam<TSeparatorCountCase> {};

TEST_P(SeparatorCountTest, CountsBackslashesAndSlashes) {
    EXPECT_EQ(TFtpUtiler::SeparatorCount(GetParam().Path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, SeparatorCountTest,
                         ::testing::Values(TSeparatorCountCase{"C:\\a/b.jpg", 2},
                                           TSeparatorCountCase{"a.jpg", 0},
                                           TSeparatorCountCase{"", 0},
                                           TSeparatorCountCase{"\\\\server\\share\\", 4},
                                           TSeparatorCountCase{"/2024/01/", 3}));

struct TPathBeforeCase {
    int32_t K;
    const char* Path;
    const char* Expected;
};

class PathBeforeSeparatorTest : public ::testing::TestWithParam<TPathBeforeCase> {};

TEST_P(PathBeforeSeparatorTest, AnswersTheTextBeforeTheKthSeparator) {
    EXPECT_EQ(TFtpUtiler::PathBeforeSeparator(GetParam().K, GetParam().Path),
              GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathBeforeSeparatorTest,
    ::testing::Values(TPathBeforeCase{1, "2024/01/a.jpg", "2024"},
                      TPathBeforeCase{2, "2024/01/a.jpg", "2024/01"},
                      TPathBeforeCase{3, "2024/01/a.jpg", "2024/01/a.jpg"},
                      TPathBeforeCase{9, "2024/01/a.jpg", "2024/01/a.jpg"},
                      TPathBeforeCase{1, "\\2024\\01\\a.jpg", ""},
                      TPathBeforeCase{2, "\\2024\\01\\a.jpg", "\\2024"},
                      TPathBeforeCase{2, "C:\\App/Pictures\\a.jpg", "C:\\App"},
                      TPathBeforeCase{0, "a/b", "a/b"},
                      TPathBeforeCase{1, "", ""}));

// ForceLocalDirs needs no connection; the utility runs over a fake library
// that must see no call at all.
class ForceLocalDirsTest : public ::testing::Test {
protected:
    std::shared_ptr<testing::TFakeInternetState> FState =
        std::make_shared<testing::TFakeInternetState>();
    TFtpUtiler FFtp{std::make_unique<testing::TFakeInternetSession>(FState)};
    testing::TTempDir FTemp;
};

TEST_F(ForceLocalDirsTest, CreatesEveryLevelOfASlashedPath) {
    const std::string path = FTemp.Path() + "/Pictures/2024/01/a.jpg";
    EXPECT_TRUE(FFtp.ForceLocalDirs(path));
    EXPECT_TRUE(fs::is_directory(FTemp.Path() + "/Pictures/2024/01"));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(FState->Calls.empty());
}

TEST_F(ForceLocalDirsTest, ExistingLevelsNeedNoCreation) {
    fs::create_directories(FTemp.Path() + "/a/b");
    EXPECT_TRUE(FFtp.ForceLocalDirs(FTemp.Path() + "/a/b/c.jpg"));
    EXPECT_TRUE(FFtp.ForceLocalDirs(FTemp.Path() + "/c.jpg"));
    EXPECT_TRUE(FFtp.ForceLocalDirs("c.jpg"));
    EXPECT_EQ(std::distance(fs::directory_iterator(FTemp.Path()), fs::directory_iterator()), 1);
}

TEST_F(ForceLocalDirsTest, ALevelBlockedByAFileFails) {
    FTemp.Write("blocked", "a file, not a folder");
    EXPECT_FALSE(FFtp.ForceLocalDirs(FTemp.Path() + "/blocked/sub/a.jpg"));
    EXPECT_TRUE(fs::is_regular_file(FTemp.Path() + "/blocked"));
}

}  // namespace
}  // namespace vellomar
