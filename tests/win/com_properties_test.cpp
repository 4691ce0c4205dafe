// The form properties passed through IVellomarX, with their conversions.
#include <gtest/gtest.h>

#include "ComTestSupport.h"

namespace vellomar::testing {
namespace {

class PropertyTest : public ::testing::Test {
protected:
    void SetUp() override {
        FControl = Ocx().CreateControl();
        ASSERT_TRUE(FControl);
    }
    // The error information that the last failing call recorded.
    void ExpectErrorInfo(const wchar_t* description) {
        TComPtr<IErrorInfo> info;
        ASSERT_EQ(S_OK, GetErrorInfo(0, info.Put()));
        ASSERT_TRUE(info);
        TBstr source, text;
        EXPECT_EQ(S_OK, info->GetSource(source.Put()));
        EXPECT_EQ(L"Vellomar.VellomarX", source.Wide());
        EXPECT_EQ(S_OK, info->GetDescription(text.Put()));
        EXPECT_EQ(description, text.Wide());
        GUID guid{};
        EXPECT_EQ(S_OK, info->GetGUID(&guid));
        EXPECT_TRUE(IsEqualGUID(IID_IVellomarX, guid));
    }
    TComPtr<IVellomarX> FControl;
};

TEST_F(PropertyTest, NewControlValues) {
    IVellomarX* c = FControl.Get();
    VARIANT_BOOL b = 7;
    struct TBoolCase { HRESULT (STDMETHODCALLTYPE IVellomarX::*Get)(VARIANT_BOOL*); VARIANT_BOOL Expected; const char* Name; };
    const TBoolCase bools[] = {
        {&IVellomarX::get_Visible, VARIANT_TRUE, "Visible"},
        {&IVellomarX::get_AutoScroll, VARIANT_FALSE, "AutoScroll"},
        {&IVellomarX::get_AutoSize, VARIANT_FALSE, "AutoSize"},
        {&IVellomarX::get_KeyPreview, VARIANT_FALSE, "KeyPreview"},
        {&IVellomarX::get_Scaled, VARIANT_TRUE, "Scaled"},
        {&IVellomarX::get_Active, VARIANT_FALSE, "Active"},
        {&IVellomarX::get_DropTarget, VARIANT_FALSE, "DropTarget"},
        {&IVellomarX::get_ScreenSnap, VARIANT_FALSE, "ScreenSnap"},
        {&IVellomarX::get_DoubleBuffered, VARIANT_TRUE, "DoubleBuffered"},
        {&IVellomarX::get_AlignDisabled, VARIANT_FALSE, "AlignDisabled"},
        {&IVellomarX::get_Enabled, VARIANT_TRUE, "Enabled"},
    };
    for (const TBoolCase& bc : bools) {
        SCOPED_TRACE(bc.Name);
        ASSERT_EQ(S_OK, (c->*bc.Get)(&b));
        EXPECT_EQ(bc.Expected, b);
    }

    TBstr caption;
    ASSERT_EQ(S_OK, c->get_Caption(caption.Put()));
    EXPECT_EQ(L"VellomarX", caption.Wide());
    TBstr helpFile;
    ASSERT_EQ(S_OK, c->get_HelpFile(helpFile.Put()));
    EXPECT_EQ(nullptr, helpFile.Get());

    TxActiveFormBorderStyle border = afbRaised;
    ASSERT_EQ(S_OK, c->get_AxBorderStyle(&border));
    EXPECT_EQ(afbSingle, border);
    TxPrintScale scale = poNone;
    ASSERT_EQ(S_OK, c->get_PrintScale(&scale));
    EXPECT_EQ(poProportional, scale);
    OLE_COLOR color = 0;
    ASSERT_EQ(S_OK, c->get_Color(&color));
    EXPECT_EQ(0xF0FBFFu, color) << "clCream";
    LONG number = -1;
    ASSERT_EQ(S_OK, c->get_VisibleDockClientCount(&number));
    EXPECT_EQ(0, number);
    ASSERT_EQ(S_OK, c->get_SnapBuffer(&number));
    EXPECT_EQ(10, number);
    ASSERT_EQ(S_OK, c->get_PixelsPerInch(&number));
    EXPECT_GT(number, 0);
}

TEST_F(PropertyTest, TextRoundTrip) {
    struct TCase { const wchar_t* Written; const wchar_t* Read; };
    const TCase cases[] = {{L"abc", L"abc"}, {L"\u6279\u6CE8 \u00E9", L"\u6279\u6CE8 \u00E9"}, {L"", nullptr}};
    for (const TCase& tc : cases) {
        TBstr written(tc.Written);
        ASSERT_EQ(S_OK, FControl->put_Caption(written.Get()));
        TBstr read;
        ASSERT_EQ(S_OK, FControl->get_Caption(read.Put()));
        if (tc.Read) {
            EXPECT_EQ(tc.Read, read.Wide());
        } else {
            EXPECT_EQ(nullptr, read.Get()) << "an empty text reads as a null string";
        }
    }
    ASSERT_EQ(S_OK, FControl->put_HelpFile(nullptr));
    TBstr help;
    ASSERT_EQ(S_OK, FControl->get_HelpFile(help.Put()));
    EXPECT_EQ(nullptr, help.Get());
}

TEST_F(PropertyTest, AnyNonZeroBooleanIsTrue) {
    struct TCase { VARIANT_BOOL Written; VARIANT_BOOL Read; };
    const TCase cases[] = {{5, VARIANT_TRUE}, {0, VARIANT_FALSE}, {VARIANT_TRUE, VARIANT_TRUE}, {1, VARIANT_TRUE}};
    for (const TCase& tc : cases) {
        SCOPED_TRACE(tc.Written);
        ASSERT_EQ(S_OK, FControl->put_AutoScroll(tc.Written));
        VARIANT_BOOL read = 3;
        ASSERT_EQ(S_OK, FControl->get_AutoScroll(&read));
        EXPECT_EQ(tc.Read, read);
        ASSERT_EQ(S_OK, FControl->put_Enabled(tc.Written));
        ASSERT_EQ(S_OK, FControl->get_Enabled(&read));
        EXPECT_EQ(tc.Read, read);
    }
}

TEST_F(PropertyTest, BorderStyleTakesItsFourValues) {
    for (int value = afbNone; value <= afbRaised; ++value) {
        ASSERT_EQ(S_OK, FControl->put_AxBorderStyle(TxActiveFormBorderStyle(value)));
        TxActiveFormBorderStyle read = TxActiveFormBorderStyle(-1);
        ASSERT_EQ(S_OK, FControl->get_AxBorderStyle(&read));
        EXPECT_EQ(value, read);
    }
}

TEST_F(PropertyTest, FailingSetterAnswersUnexpectedWithErrorInfo) {
    ASSERT_EQ(S_OK, FControl->put_AxBorderStyle(afbSunken));
    EXPECT_EQ(E_UNEXPECTED, FControl->put_AxBorderStyle(TxActiveFormBorderStyle(4)));
    ExpectErrorInfo(L"Invalid property value");
    TxActiveFormBorderStyle border = afbNone;
    ASSERT_EQ(S_OK, FControl->get_AxBorderStyle(&border));
    EXPECT_EQ(afbSunken, border);

    EXPECT_EQ(E_UNEXPECTED, FControl->put_PrintScale(TxPrintScale(3)));
    ExpectErrorInfo(L"Invalid property value");
    EXPECT_EQ(E_UNEXPECTED, FControl->put_PrintScale(TxPrintScale(-1)));
    for (int value = poNone; value <= poPrintToFit; ++value) {
        ASSERT_EQ(S_OK, FControl->put_PrintScale(TxPrintScale(value)));
        TxPrintScale read = TxPrintScale(-1);
        ASSERT_EQ(S_OK, FControl->get_PrintScale(&read));
        EXPECT_EQ(value, read);
    }
}

TEST_F(PropertyTest, FailingSetterThroughDispatchFillsTheExceptionRecord) {
    TComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, FControl.As(IID_IDispatch, dispatch));
    VARIANTARG value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = 9;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXCEPINFO exception{};
    const HRESULT hr = dispatch->Invoke(204, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                        &params, nullptr, &exception, nullptr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(E_UNEXPECTED, exception.scode);
    EXPECT_EQ(L"Vellomar.VellomarX", TBstr::Adopt(exception.bstrSource).Wide());
    EXPECT_EQ(L"Invalid property value", TBstr::Adopt(exception.bstrDescription).Wide());
    SysFreeString(exception.bstrHelpFile);
}

TEST_F(PropertyTest, ValuesPassThroughUnchanged) {
    ASSERT_EQ(S_OK, FControl->put_Color(0x00123456));
    OLE_COLOR color = 0;
    ASSERT_EQ(S_OK, FControl->get_Color(&color));
    EXPECT_EQ(0x00123456u, color);
    ASSERT_EQ(S_OK, FControl->put_Color(0x80000005));  // a system colour stays as it is
    ASSERT_EQ(S_OK, FControl->get_Color(&color));
    EXPECT_EQ(0x80000005u, color);

    struct TCase { HRESULT (STDMETHODCALLTYPE IVellomarX::*Put)(LONG); HRESULT (STDMETHODCALLTYPE IVellomarX::*Get)(LONG*); LONG Value; };
    const TCase cases[] = {
        {&IVellomarX::put_SnapBuffer, &IVellomarX::get_SnapBuffer, -3},
        {&IVellomarX::put_PixelsPerInch, &IVellomarX::get_PixelsPerInch, 120},
    };
    for (const TCase& tc : cases) {
        ASSERT_EQ(S_OK, (FControl.Get()->*tc.Put)(tc.Value));
        LONG read = 0;
        ASSERT_EQ(S_OK, (FControl.Get()->*tc.Get)(&read));
        EXPECT_EQ(tc.Value, read);
    }
}

TEST_F(PropertyTest, NullOutPointersAreRefused) {
    EXPECT_EQ(E_POINTER, FControl->get_Caption(nullptr));
    EXPECT_EQ(E_POINTER, FControl->get_AutoScroll(nullptr));
    EXPECT_EQ(E_POINTER, FControl->get_Font(nullptr));
    EXPECT_EQ(E_POINTER, FControl->putref_Font(nullptr));
    EXPECT_EQ(E_POINTER, FControl->get_ErrCode(nullptr));
}

TComPtr<IFontDisp> MakeFont(const wchar_t* name, int points, bool bold) {
    std::wstring text(name);
    FONTDESC description{sizeof(FONTDESC), text.data(), {}, SHORT(bold ? 700 : 400),
                         DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    description.cySize.int64 = LONGLONG(points) * 10000;
    TComPtr<IFontDisp> font;
    EXPECT_EQ(S_OK, OleCreateFontIndirect(&description, IID_IFontDisp, font.PutVoid()));
    return font;
}

TComPtr<IFont> FontOf(IVellomarX* control) {
    TComPtr<IFontDisp> disp;
    EXPECT_EQ(S_OK, control->get_Font(disp.Put()));
    TComPtr<IFont> font;
    if (disp) {
        EXPECT_EQ(S_OK, disp.As(IID_IFont, font));
    }
    return font;
}

TEST_F(PropertyTest, FontIsAnOleFontOfTheFormsFont) {
    TComPtr<IFont> font = FontOf(FControl.Get());
    ASSERT_TRUE(font);
    // The form's font is 8 point Tahoma, regular; the font object answers
    // what the system makes of that, as any font made from it does.
    TComPtr<IFontDisp> sameDescription = MakeFont(L"Tahoma", 8, false);
    TComPtr<IFont> reference;
    ASSERT_EQ(S_OK, sameDescription.As(IID_IFont, reference));
    TBstr name, referenceName;
    ASSERT_EQ(S_OK, font->get_Name(name.Put()));
    ASSERT_EQ(S_OK, reference->get_Name(referenceName.Put()));
    EXPECT_EQ(referenceName.Wide(), name.Wide());
    CY size{}, referenceSize{};
    ASSERT_EQ(S_OK, font->get_Size(&size));
    ASSERT_EQ(S_OK, reference->get_Size(&referenceSize));
    EXPECT_EQ(referenceSize.int64, size.int64);
    SHORT weight = 0;
    ASSERT_EQ(S_OK, font->get_Weight(&weight));
    EXPECT_EQ(400, weight);
    BOOL flag = TRUE;
    ASSERT_EQ(S_OK, font->get_Italic(&flag));
    EXPECT_FALSE(flag);
    ASSERT_EQ(S_OK, font->get_Underline(&flag));
    EXPECT_FALSE(flag);
    // The same object answers every time: it is tied to the form's font.
    EXPECT_EQ(font.Get(), FontOf(FControl.Get()).Get());
}

TEST_F(PropertyTest, FontPutAndPutRefTieTheGivenObject) {
    TComPtr<IFontDisp> arial = MakeFont(L"Arial", 12, true);
    ASSERT_EQ(S_OK, FControl->put_Font(arial.Get()));
    TComPtr<IFontDisp> read;
    ASSERT_EQ(S_OK, FControl->get_Font(read.Put()));
    EXPECT_EQ(arial.Get(), read.Get());

    TComPtr<IFontDisp> courier = MakeFont(L"Courier New", 10, false);
    IFontDisp* raw = courier.Get();
    ASSERT_EQ(S_OK, FControl->putref_Font(&raw));
    ASSERT_EQ(S_OK, FControl->get_Font(read.Put()));
    EXPECT_EQ(courier.Get(), read.Get());

    // The control lets go of the fonts it no longer uses.
    read.Reset();
    EXPECT_EQ(1u, RefCount(arial.Get()));
    FControl.Reset();
    EXPECT_EQ(1u, RefCount(courier.Get()));
}

TEST_F(PropertyTest, FontPutRefusesWhatIsNoFont) {
    TComPtr<IDispatch> notAFont;
    ASSERT_EQ(S_OK, FControl.As(IID_IDispatch, notAFont));
    EXPECT_EQ(E_NOINTERFACE, FControl->put_Font(reinterpret_cast<IFontDisp*>(notAFont.Get())));
    EXPECT_EQ(E_POINTER, FControl->put_Font(nullptr));
}

}  // namespace
}  // namespace vellomar::testing
