// The command entry through the vtable and through IDispatch.
#include <gtest/gtest.h>

#include "ComTestSupport.h"
#include "platform/win32/Variant.h"

namespace vellomar::testing {
namespace {

const char kParamCountMessage[] = "参数数量有误，请检查！";

// Invokes Command by DISPID 217 with two strings; answers the HRESULT and
// the answer in 'result'.
HRESULT InvokeCommand(IDispatch* dispatch, const wchar_t* name, const wchar_t* params,
                      TVariant& result) {
    TBstr cmdName(name), cmdParam(params);
    VARIANTARG args[2];
    // Arguments go in reverse order.
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = cmdParam.Get();
    V_VT(&args[1]) = VT_BSTR;
    V_BSTR(&args[1]) = cmdName.Get();
    DISPPARAMS dispParams{args, nullptr, 2, 0};
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr = dispatch->Invoke(217, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &dispParams, &result, &exception, &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
}

LONG ErrCodeOf(IVellomarX* control) {
    LONG code = -1;
    EXPECT_EQ(S_OK, control->get_ErrCode(&code));
    return code;
}

TEST(CommandEntry, BeforeAnyCommandCodeAndTextAreEmpty) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    EXPECT_EQ(0, ErrCodeOf(control.Get()));
    TBstr info;
    ASSERT_EQ(S_OK, control->get_ErrInfo(info.Put()));
    EXPECT_EQ(nullptr, info.Get()) << "an empty text reads as a null string";
}

TEST(CommandEntry, UnknownNameSucceeds) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    EXPECT_TRUE(RunCommand(control.Get(), L"NoSuchCommand", L"1,2"));
    EXPECT_EQ(0, ErrCodeOf(control.Get()));
    EXPECT_EQ("", ErrInfoOf(control.Get()));
    // Null strings count as empty texts.
    VARIANT_BOOL answer = VARIANT_FALSE;
    EXPECT_EQ(S_OK, control->Command(nullptr, nullptr, &answer));
    EXPECT_EQ(VARIANT_TRUE, answer);
}

TEST(CommandEntry, CheckedFailureAnswersFalseWithCodeAndText) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    EXPECT_FALSE(RunCommand(control.Get(), L"SetShowError", L""));
    EXPECT_EQ(1001, ErrCodeOf(control.Get()));
    EXPECT_EQ(kParamCountMessage, ErrInfoOf(control.Get()));

    EXPECT_TRUE(RunCommand(control.Get(), L"setshowerror", L"0"));
    EXPECT_EQ(0, ErrCodeOf(control.Get()));
    EXPECT_EQ("", ErrInfoOf(control.Get()));
}

TEST(CommandEntry, NullAnswerPointerIsRefused) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    TBstr name(L"NoSuchCommand");
    EXPECT_EQ(E_POINTER, control->Command(name.Get(), nullptr, nullptr));
}

TEST(CommandEntry, InvokeByDispIdAnswersAsTheVtableCall) {
    struct TCase { const wchar_t* Name; const wchar_t* Params; };
    const TCase cases[] = {
        {L"NoSuchCommand", L""}, {L"SetShowError", L""}, {L"SetShowError", L"0"},
        {L"", L""}, {L"LoadPicture", L""},
    };
    TComPtr<IVellomarX> viaVtable = Ocx().CreateControl();
    TComPtr<IVellomarX> viaDispatchControl = Ocx().CreateControl();
    ASSERT_TRUE(viaVtable && viaDispatchControl);
    TComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, viaDispatchControl.As(IID_IDispatch, dispatch));
    for (const TCase& c : cases) {
        SCOPED_TRACE(BstrToUtf8(TBstr(c.Name).Get()));
        const bool expected = RunCommand(viaVtable.Get(), c.Name, c.Params);
        TVariant result;
        ASSERT_EQ(S_OK, InvokeCommand(dispatch.Get(), c.Name, c.Params, result));
        ASSERT_EQ(VT_BOOL, result.Type());
        EXPECT_EQ(expected ? VARIANT_TRUE : VARIANT_FALSE, V_BOOL(&result.Get()));
        EXPECT_EQ(ErrCodeOf(viaVtable.Get()), ErrCodeOf(viaDispatchControl.Get()));
        EXPECT_EQ(ErrInfoOf(viaVtable.Get()), ErrInfoOf(viaDispatchControl.Get()));
    }
}

TEST(CommandEntry, NamesResolveThroughTheTypeLibrary) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    TComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, control.As(IID_IDispatch, dispatch));
    struct TCase { const wchar_t* Name; DISPID Id; };
    const TCase cases[] = {
        {L"Command", 217}, {L"errcode", 218}, {L"ErrInfo", 219}, {L"Caption", DISPID_CAPTION},
        {L"Color", DISPID_BACKCOLOR}, {L"Font", DISPID_FONT}, {L"Enabled", DISPID_ENABLED},
        {L"Visible", 201}, {L"VisibleDockClientCount", 216},
    };
    for (const TCase& c : cases) {
        LPOLESTR name = const_cast<LPOLESTR>(c.Name);
        DISPID id = 0;
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_EQ(c.Id, id);
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id));

    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    TComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(IID_IVellomarX, attr->guid));
    info->ReleaseTypeAttr(attr);
}

}  // namespace
}  // namespace vellomar::testing
