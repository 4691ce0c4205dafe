#include <gtest/gtest.h>

#include "command/ControlerBase.h"
#include "platform/VellomarError.h"
#include "tests/native/Fakes.h"
#include "tests/native/TempDir.h"

namespace vellomar {
namespace {

using Items = std::vector<std::string>;

struct TSplitCase {
    std::string Text;
    Items Expected;
};

class SplitParamTextTest : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitParamTextTest, GivesTheItems) {
    EXPECT_EQ(SplitParamText(GetParam().Text), GetParam().Expected) << "text: [" << GetParam().Text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitParamTextTest,
    ::testing::Values(
        TSplitCase{"", {}}, TSplitCase{"   \t ", {}},
        TSplitCase{"0,C:\\pics\\a.jpg", {"0", "C:\\pics\\a.jpg"}},
        TSplitCase{"0,C:\\my pics\\a.jpg", {"0", "C:\\my", "pics\\a.jpg"}},
        TSplitCase{"a,,b", {"a", "", "b"}}, TSplitCase{",a", {"", "a"}},
        TSplitCase{"a,", {"a", ""}}, TSplitCase{"a, ", {"a"}}, TSplitCase{"a b", {"a", "b"}},
        TSplitCase{"  a  ,  b  ", {"a", "b"}},
        TSplitCase{"0,\"C:\\my pics\\a.jpg\"", {"0", "C:\\my pics\\a.jpg"}},
        TSplitCase{"\"x\"\"y\"", {"x\"y"}}, TSplitCase{"\"ab\"cd", {"ab", "cd"}},
        TSplitCase{"\"a, b ,c\",d", {"a, b ,c", "d"}},
        TSplitCase{"1,\"rest of, \"\"it", {"1", "rest of, \"it"}},
        TSplitCase{"\"\"", {""}}, TSplitCase{"a\"b,c", {"a\"b", "c"}},
        TSplitCase{"\x01" "a\x1f" "b", {"a", "b"}},
        TSplitCase{"中文,\"路径 名\"", {"中文", "路径 名"}},
        TSplitCase{std::string("a,b\0c", 5), {"a", "b"}}));

struct TNumberCase {
    std::string Text;
    int32_t Expected;
};

class ReadIntegerTest : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(ReadIntegerTest, ReadsOrFallsBack) {
    EXPECT_EQ(ReadInteger(GetParam().Text, -77), GetParam().Expected) << "text: [" << GetParam().Text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadIntegerTest,
    ::testing::Values(
        TNumberCase{"1", 1}, TNumberCase{"01", 1}, TNumberCase{"$2", 2}, TNumberCase{"one", -77},
        TNumberCase{"", -77}, TNumberCase{"  42", 42}, TNumberCase{"42 ", -77}, TNumberCase{"\t42", -77},
        TNumberCase{"+7", 7}, TNumberCase{"-7", -7}, TNumberCase{"1.5", -77}, TNumberCase{"-", -77},
        TNumberCase{"2147483647", 2147483647}, TNumberCase{"-2147483648", INT32_MIN},
        TNumberCase{"2147483648", -77}, TNumberCase{"-2147483649", -77},
        TNumberCase{"$FF", 255}, TNumberCase{"xff", 255}, TNumberCase{"X1A", 26},
        TNumberCase{"0x10", 16}, TNumberCase{"0X10", 16}, TNumberCase{"$FFFFFFFF", -1},
        TNumberCase{"$80000000", INT32_MIN}, TNumberCase{"$000000001", 1}, TNumberCase{"$100000000", -77},
        TNumberCase{"-$1", -1}, TNumberCase{"$", -77}, TNumberCase{"0x", -77}, TNumberCase{"$1G", -77},
        TNumberCase{"0", 0}, TNumberCase{"00", 0}));

// A controller with three recording commands for the base's own behaviour.
class TProbeControler : public TControlerBase {
public:
    explicit TProbeControler(IMessageBox* box = nullptr) : TControlerBase(kTable, std::size(kTable), box) {}
    std::vector<std::string> Ran;

private:
    static void First(TControlerBase& c) { static_cast<TProbeControler&>(c).Ran.push_back("First"); }
    static void LoadPicture(TControlerBase& c) { static_cast<TProbeControler&>(c).Ran.push_back("LoadPicture"); }
    static void Fail(TControlerBase& c) { c.CheckError(true, 42, "failed"); }
    static constexpr TCommandEntry kTable[] = {{"First", First}, {"LoadPicture", LoadPicture}, {"Fail", Fail}};
};

TEST(CommandLookup, MatchesAsciiCaseInsensitivelyWithEqualLength) {
    TProbeControler c;
    EXPECT_TRUE(c.ExecCommand("loadpicture"));
    EXPECT_TRUE(c.ExecCommand("LOADPICTURE"));
    EXPECT_FALSE(c.ExecCommand("loadpicture "));
    EXPECT_FALSE(c.ExecCommand("load picture"));
    EXPECT_FALSE(c.ExecCommand("LoadPictur"));
    EXPECT_FALSE(c.ExecCommand(""));
    EXPECT_EQ(c.Ran, (Items{"LoadPicture", "LoadPicture"}));
    EXPECT_TRUE(c.CommandExists("first"));
    EXPECT_FALSE(c.CommandExists("NoSuchCommand"));
}

TEST(CommandLookup, CutsTheNameTo255Characters) {
    TProbeControler c;
    // Cut to 255 characters, a longer name can never be as long as a command.
    EXPECT_FALSE(c.ExecCommand("First" + std::string(300, 'x')));
    EXPECT_TRUE(c.Ran.empty());
}

TEST(CommandLookup, PassesTheCommandsErrorThrough) {
    TProbeControler c;
    EXPECT_THROW(c.ExecCommand("fail"), EVellomarError);
    EXPECT_EQ(c.FErrCode, 42);
    EXPECT_EQ(c.FErrInfo, "failed");
}

TEST(Params, GetParamOutsideTheListRaisesTheIndexError) {
    TProbeControler c;
    c.SetParamText("a,b");
    EXPECT_EQ(c.ParamCount(), 2);
    EXPECT_EQ(c.GetParam(1), "b");
    for (int index : {2, -1}) {
        try {
            c.GetParam(index);
            FAIL() << "no error for " << index;
        } catch (const EVellomarError& e) {
            EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
    EXPECT_EQ(c.FErrCode, 0);
}

TEST(Params, SetParamTextReplacesTheWholeList) {
    TProbeControler c;
    c.SetParamText("a,b,c");
    c.SetParamText("x");
    EXPECT_EQ(c.FParams, (Items{"x"}));
}

TEST(Checks, CheckErrorStoresCodeAndTextOnlyWhenTheConditionHolds) {
    TProbeControler c;
    c.CheckError(false, 7, "no");
    EXPECT_EQ(c.FErrCode, 0);
    EXPECT_EQ(c.FErrInfo, "");
    try {
        c.CheckError(true, 7, "yes");
        FAIL();
    } catch (const EVellomarError& e) {
        EXPECT_STREQ(e.what(), "yes");
    }
    EXPECT_EQ(c.FErrCode, 7);
    EXPECT_EQ(c.FErrInfo, "yes");
}

TEST(Checks, ParamCountAcceptsMoreThanRequired) {
    TProbeControler c;
    c.SetParamText("a,b,c");
    EXPECT_NO_THROW(c.CheckParamCount(2));
    EXPECT_THROW(c.CheckParamCount(4), EVellomarError);
    EXPECT_EQ(c.FErrCode, 1001);
    EXPECT_EQ(c.FErrInfo, "参数数量有误，请检查！");
}

struct TEmptyCase {
    std::string Text;
    int A, B;
    int ExpectedCode;
    std::string ExpectedInfo;
};

class CheckParamsNotEmptyTest : public ::testing::TestWithParam<TEmptyCase> {};

TEST_P(CheckParamsNotEmptyTest, ChecksTheRange) {
    const TEmptyCase& k = GetParam();
    TProbeControler c;
    c.SetParamText(k.Text);
    if (k.ExpectedCode == 0) {
        EXPECT_NO_THROW(c.CheckParamsNotEmpty(k.A, k.B));
    } else {
        EXPECT_THROW(c.CheckParamsNotEmpty(k.A, k.B), EVellomarError);
    }
    EXPECT_EQ(c.FErrCode, k.ExpectedCode);
    EXPECT_EQ(c.FErrInfo, k.ExpectedInfo);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CheckParamsNotEmptyTest,
    ::testing::Values(
        TEmptyCase{"0,", 1, -1, 1002, "第2个参数为空，请检查！"},
        TEmptyCase{",x", 1, -1, 0, ""},                        // only index 1 is examined
        TEmptyCase{"a,,", 2, 0, 1002, "第2个参数为空，请检查！"},  // bounds in any order, first empty wins
        TEmptyCase{"a,,", 0, 2, 1002, "第2个参数为空，请检查！"},
        TEmptyCase{"a,b,c,", 0, 2, 0, ""},                     // index 3 may be empty
        TEmptyCase{",b,", -1, 0, 1002, "第1个参数为空，请检查！"}));

TEST(Checks, FileExistsNamesThePathAsUsed) {
    testing::TTempDir dir;
    const std::string file = dir.Write("here.jpg", "x");
    TProbeControler c;
    EXPECT_NO_THROW(c.CheckFileExists(file));
    const std::string missing = dir.Path() + "/missing.jpg";
    EXPECT_THROW(c.CheckFileExists(missing), EVellomarError);
    EXPECT_EQ(c.FErrCode, 5004);
    EXPECT_EQ(c.FErrInfo, "文件[" + missing + "]不存在！");
    EXPECT_THROW(c.CheckFileExists(dir.Path()), EVellomarError) << "a folder is no file";
}

TEST(Checks, ShowPromptUsesTheMessageBoxWithItsCaption) {
    testing::TRecordingMessageBox box;
    TProbeControler c(&box);
    c.ShowPrompt("请先加载图片！");
    ASSERT_EQ(box.Shown.size(), 1u);
    EXPECT_EQ(box.Shown[0].first, "请先加载图片！");
    EXPECT_EQ(box.Shown[0].second, "提示");
}

}  // namespace
}  // namespace vellomar
