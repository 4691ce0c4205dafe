// The tie between the form's font and the OLE font object handed to hosts,
// on the control module's own code.
#include <gtest/gtest.h>

#include "ComTestSupport.h"
#include "control/win32/FormFontLink.h"

namespace vellomar::testing {
namespace {

using com::TFormFontLink;

TComPtr<IFont> FontOf(TFormFontLink& link) {
    TComPtr<IFontDisp> disp;
    EXPECT_EQ(S_OK, link.Get(disp.Put()));
    TComPtr<IFont> font;
    if (disp) {
        EXPECT_EQ(S_OK, disp.As(IID_IFont, font));
    }
    return font;
}

TComPtr<IFontDisp> NewFont(const wchar_t* name, int points) {
    std::wstring text(name);
    FONTDESC description{sizeof(FONTDESC), text.data(), {}, 400, DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    description.cySize.int64 = LONGLONG(points) * 10000;
    TComPtr<IFontDisp> font;
    EXPECT_EQ(S_OK, OleCreateFontIndirect(&description, IID_IFontDisp, font.PutVoid()));
    return font;
}

TEST(FormFontLink, ObjectIsMadeFromTheFormsFont) {
    TFormFont form;
    form.Bold = true;
    form.Italic = true;
    form.StrikeOut = true;
    TFormFontLink link(form, 96);
    TComPtr<IFont> font = FontOf(link);
    ASSERT_TRUE(font);
    SHORT weight = 0;
    BOOL italic = FALSE, underline = TRUE, strike = FALSE;
    EXPECT_EQ(S_OK, font->get_Weight(&weight));
    EXPECT_EQ(700, weight);
    EXPECT_EQ(S_OK, font->get_Italic(&italic));
    EXPECT_TRUE(italic);
    EXPECT_EQ(S_OK, font->get_Underline(&underline));
    EXPECT_FALSE(underline);
    EXPECT_EQ(S_OK, font->get_Strikethrough(&strike));
    EXPECT_TRUE(strike);
}

TEST(FormFontLink, ChangesThroughTheObjectReachTheFormsFont) {
    TFormFont form;
    TFormFontLink link(form, 96);
    TComPtr<IFont> font = FontOf(link);
    ASSERT_TRUE(font);
    CY size{};
    size.int64 = 12 * 10000;
    ASSERT_EQ(S_OK, font->put_Size(size));
    EXPECT_EQ(12, form.Size);
    EXPECT_EQ(-16, form.Height) << "12 points at 96 pixels per inch";
    ASSERT_EQ(S_OK, font->put_Bold(TRUE));
    EXPECT_TRUE(form.Bold);
    ASSERT_EQ(S_OK, font->put_Underline(TRUE));
    EXPECT_TRUE(form.Underline);
    ASSERT_EQ(S_OK, font->put_Italic(TRUE));
    EXPECT_TRUE(form.Italic);
    TBstr name(L"Courier New");
    ASSERT_EQ(S_OK, font->put_Name(name.Get()));
    TBstr realised;
    ASSERT_EQ(S_OK, font->get_Name(realised.Put()));
    EXPECT_EQ(BstrToUtf8(realised.Get()), form.Name) << "the form takes what the object answers";
}

TEST(FormFontLink, PutCopiesAtOnceAndTiesTheGivenObject) {
    TFormFont form;
    TFormFontLink link(form, 96);
    TComPtr<IFontDisp> given = NewFont(L"Arial", 20);
    ASSERT_EQ(S_OK, link.Put(given.Get()));
    EXPECT_EQ(20, form.Size);
    EXPECT_FALSE(form.Bold);
    TComPtr<IFont> tied;
    ASSERT_EQ(S_OK, given.As(IID_IFont, tied));
    EXPECT_EQ(tied.Get(), FontOf(link).Get());
    ASSERT_EQ(S_OK, tied->put_Bold(TRUE));
    EXPECT_TRUE(form.Bold) << "later changes of the tied object still arrive";
}

TEST(FormFontLink, UntiedObjectsNoLongerReachTheForm) {
    TFormFont form;
    TComPtr<IFontDisp> first = NewFont(L"Arial", 10), second = NewFont(L"Arial", 14);
    TComPtr<IFont> firstFont;
    ASSERT_EQ(S_OK, first.As(IID_IFont, firstFont));
    {
        TFormFontLink link(form, 96);
        ASSERT_EQ(S_OK, link.Put(first.Get()));
        ASSERT_EQ(S_OK, link.Put(second.Get()));
        EXPECT_EQ(14, form.Size);
        ASSERT_EQ(S_OK, firstFont->put_Bold(TRUE));
        EXPECT_FALSE(form.Bold) << "the first object is no longer tied";
    }
    // The link let go of both objects and their notification sinks.
    EXPECT_EQ(1u, RefCount(second.Get()));
    EXPECT_EQ(2u, RefCount(first.Get()));  // 'first' and 'firstFont'
}

}  // namespace
}  // namespace vellomar::testing
