// The type library embedded in Vellomar.ocx, read back member by member.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComTestSupport.h"

namespace vellomar::testing {
namespace {

struct TTypeAttrGuard {
    ITypeInfo* Info;
    TYPEATTR* Attr = nullptr;
    explicit TTypeAttrGuard(ITypeInfo* info) : Info(info) { EXPECT_EQ(S_OK, info->GetTypeAttr(&Attr)); }
    ~TTypeAttrGuard() { if (Attr) Info->ReleaseTypeAttr(Attr); }
};

struct TFuncDescGuard {
    ITypeInfo* Info;
    FUNCDESC* Desc = nullptr;
    TFuncDescGuard(ITypeInfo* info, UINT index) : Info(info) { EXPECT_EQ(S_OK, info->GetFuncDesc(index, &Desc)); }
    ~TFuncDescGuard() { if (Desc) Info->ReleaseFuncDesc(Desc); }
};

class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, FLibrary.Put()));
    }
    TComPtr<ITypeInfo> Type(UINT index) {
        TComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, FLibrary->GetTypeInfo(index, info.Put()));
        return info;
    }
    std::wstring DocString(ITypeInfo* info, MEMBERID id) {
        TBstr doc;
        EXPECT_EQ(S_OK, info->GetDocumentation(id, nullptr, doc.Put(), nullptr, nullptr));
        return doc.Wide();
    }
    std::wstring Name(ITypeInfo* info, MEMBERID id) {
        TBstr name;
        EXPECT_EQ(S_OK, info->GetDocumentation(id, name.Put(), nullptr, nullptr, nullptr));
        return name.Wide();
    }
    TComPtr<ITypeLib> FLibrary;
};

TEST_F(TypeLibraryTest, LibraryAttributes) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, FLibrary->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(LIBID_Vellomar, attr->guid));
    EXPECT_EQ(0x0409u, attr->lcid);
    EXPECT_EQ(SYS_WIN32, attr->syskind);
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(LIBFLAG_FCONTROL, attr->wLibFlags & (LIBFLAG_FCONTROL | LIBFLAG_FHIDDEN | LIBFLAG_FRESTRICTED));
    FLibrary->ReleaseTLibAttr(attr);

    TBstr name, doc, helpFile;
    DWORD context = 99;
    ASSERT_EQ(S_OK, FLibrary->GetDocumentation(-1, name.Put(), doc.Put(), &context, helpFile.Put()));
    EXPECT_EQ(L"Vellomar", name.Wide());
    EXPECT_EQ(L"Vellomar Library", doc.Wide());
    EXPECT_EQ(0u, context);
    EXPECT_EQ(0u, helpFile.Length());
}

TEST_F(TypeLibraryTest, SixTypesInOrder) {
    struct TExpected {
        const wchar_t* Name;
        TYPEKIND Kind;  // as read: a dual interface reads as its dispatch side
        GUID Guid;
        WORD Flags;     // the flags that must be set
        WORD NotFlags;  // the flags that must not be set
        const wchar_t* Doc;
    };
    const TExpected expected[] = {
        {L"IVellomarX", TKIND_DISPATCH, IID_IVellomarX, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE,
         TYPEFLAG_FHIDDEN, L"Dispatch interface for VellomarX Control"},
        {L"IVellomarXEvents", TKIND_DISPATCH, DIID_IVellomarXEvents, TYPEFLAG_FDISPATCHABLE,
         TYPEFLAG_FDUAL, L"Events interface for VellomarX Control"},
        {L"VellomarX", TKIND_COCLASS, CLSID_VellomarX, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL,
         TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FHIDDEN, L"VellomarX Control"},
        {L"TxActiveFormBorderStyle", TKIND_ENUM,
         {0xF2A9C3D4, 0x1B6E, 0x4870, {0x95, 0xC7, 0xD0, 0xE4, 0xA8, 0x6B, 0x1F, 0x29}}, 0, 0xFFFF, L""},
        {L"TxPrintScale", TKIND_ENUM,
         {0x3D7E0B58, 0xC4A1, 0x4E92, {0xB6, 0xF3, 0x7A, 0x08, 0xD9, 0x5C, 0x2E, 0x16}}, 0, 0xFFFF, L""},
        {L"TxMouseButton", TKIND_ENUM,
         {0x95B4F1E7, 0x2A3C, 0x4D68, {0x8E, 0x0B, 0xC6, 0x1F, 0x7D, 0x24, 0xA9, 0x53}}, 0, 0xFFFF, L""},
    };
    ASSERT_EQ(6u, FLibrary->GetTypeInfoCount());
    for (UINT i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        TComPtr<ITypeInfo> info = Type(i);
        TTypeAttrGuard attr(info.Get());
        ASSERT_NE(nullptr, attr.Attr);
        EXPECT_EQ(expected[i].Name, Name(info.Get(), MEMBERID_NIL));
        EXPECT_EQ(expected[i].Kind, attr.Attr->typekind);
        EXPECT_TRUE(IsEqualGUID(expected[i].Guid, attr.Attr->guid));
        EXPECT_EQ(expected[i].Flags, attr.Attr->wTypeFlags & expected[i].Flags);
        EXPECT_EQ(0, attr.Attr->wTypeFlags & expected[i].NotFlags);
        EXPECT_EQ(1, attr.Attr->wMajorVerNum);
        EXPECT_EQ(0, attr.Attr->wMinorVerNum);
        EXPECT_EQ(expected[i].Doc, DocString(info.Get(), MEMBERID_NIL));
    }
}

TEST_F(TypeLibraryTest, DualInterfaceIsOleAutomationOnItsVtableSide) {
    TComPtr<ITypeInfo> dispatch = Type(0);
    HREFTYPE vtableRef = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(UINT(-1), &vtableRef));
    TComPtr<ITypeInfo> vtable;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));
    TTypeAttrGuard attr(vtable.Get());
    EXPECT_EQ(TKIND_INTERFACE, attr.Attr->typekind);
    const WORD wanted = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
    EXPECT_EQ(wanted, attr.Attr->wTypeFlags & wanted);
    // 7 entries of IUnknown and IDispatch, then 41 of its own.
    EXPECT_EQ(41, attr.Attr->cFuncs);
    EXPECT_EQ(48 * 4, attr.Attr->cbSizeVft);

    HREFTYPE baseRef = 0;
    ASSERT_EQ(S_OK, vtable->GetRefTypeOfImplType(0, &baseRef));
    TComPtr<ITypeInfo> base;
    ASSERT_EQ(S_OK, vtable->GetRefTypeInfo(baseRef, base.Put()));
    TTypeAttrGuard baseAttr(base.Get());
    EXPECT_TRUE(IsEqualGUID(IID_IDispatch, baseAttr.Attr->guid));
}

// One vtable entry of IVellomarX.
struct TMember {
    const wchar_t* Name;
    MEMBERID Id;
    INVOKEKIND Kind;
    VARTYPE Type;        // get: the retval's pointed-to type; put: the parameter's type
    bool Hidden;
    const wchar_t* ParamNames[3];
};

const TMember kMembers[] = {
    {L"Visible", 201, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"Visible", 201, INVOKE_PROPERTYPUT, VT_BOOL, true, {}},
    {L"AutoScroll", 202, INVOKE_PROPERTYGET, VT_BOOL, false, {L"Value"}},
    {L"AutoScroll", 202, INVOKE_PROPERTYPUT, VT_BOOL, false, {}},
    {L"AutoSize", 203, INVOKE_PROPERTYGET, VT_BOOL, false, {L"Value"}},
    {L"AutoSize", 203, INVOKE_PROPERTYPUT, VT_BOOL, false, {}},
    {L"AxBorderStyle", 204, INVOKE_PROPERTYGET, VT_USERDEFINED, false, {L"Value"}},
    {L"AxBorderStyle", 204, INVOKE_PROPERTYPUT, VT_USERDEFINED, false, {}},
    {L"Caption", DISPID_CAPTION, INVOKE_PROPERTYGET, VT_BSTR, false, {L"Value"}},
    {L"Caption", DISPID_CAPTION, INVOKE_PROPERTYPUT, VT_BSTR, false, {}},
    {L"Color", DISPID_BACKCOLOR, INVOKE_PROPERTYGET, VT_USERDEFINED, false, {L"Value"}},
    {L"Color", DISPID_BACKCOLOR, INVOKE_PROPERTYPUT, VT_USERDEFINED, false, {}},
    {L"Font", DISPID_FONT, INVOKE_PROPERTYGET, VT_PTR, false, {L"Value"}},
    {L"Font", DISPID_FONT, INVOKE_PROPERTYPUT, VT_PTR, false, {}},
    {L"Font", DISPID_FONT, INVOKE_PROPERTYPUTREF, VT_PTR, false, {}},
    {L"KeyPreview", 205, INVOKE_PROPERTYGET, VT_BOOL, false, {L"Value"}},
    {L"KeyPreview", 205, INVOKE_PROPERTYPUT, VT_BOOL, false, {}},
    {L"PixelsPerInch", 206, INVOKE_PROPERTYGET, VT_I4, false, {L"Value"}},
    {L"PixelsPerInch", 206, INVOKE_PROPERTYPUT, VT_I4, false, {}},
    {L"PrintScale", 207, INVOKE_PROPERTYGET, VT_USERDEFINED, false, {L"Value"}},
    {L"PrintScale", 207, INVOKE_PROPERTYPUT, VT_USERDEFINED, false, {}},
    {L"Scaled", 208, INVOKE_PROPERTYGET, VT_BOOL, false, {L"Value"}},
    {L"Scaled", 208, INVOKE_PROPERTYPUT, VT_BOOL, false, {}},
    {L"Active", 209, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"DropTarget", 210, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"DropTarget", 210, INVOKE_PROPERTYPUT, VT_BOOL, true, {}},
    {L"HelpFile", 211, INVOKE_PROPERTYGET, VT_BSTR, true, {L"Value"}},
    {L"HelpFile", 211, INVOKE_PROPERTYPUT, VT_BSTR, true, {}},
    {L"ScreenSnap", 212, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"ScreenSnap", 212, INVOKE_PROPERTYPUT, VT_BOOL, true, {}},
    {L"SnapBuffer", 213, INVOKE_PROPERTYGET, VT_I4, true, {L"Value"}},
    {L"SnapBuffer", 213, INVOKE_PROPERTYPUT, VT_I4, true, {}},
    {L"DoubleBuffered", 214, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"DoubleBuffered", 214, INVOKE_PROPERTYPUT, VT_BOOL, true, {}},
    {L"AlignDisabled", 215, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"VisibleDockClientCount", 216, INVOKE_PROPERTYGET, VT_I4, true, {L"Value"}},
    {L"Enabled", DISPID_ENABLED, INVOKE_PROPERTYGET, VT_BOOL, true, {L"Value"}},
    {L"Enabled", DISPID_ENABLED, INVOKE_PROPERTYPUT, VT_BOOL, true, {}},
    {L"Command", 217, INVOKE_FUNC, VT_BOOL, false, {L"CmdName", L"CmdParam", L"RetValue"}},
    {L"ErrCode", 218, INVOKE_PROPERTYGET, VT_I4, false, {L"Value"}},
    {L"ErrInfo", 219, INVOKE_PROPERTYGET, VT_BSTR, false, {L"Value"}},
};

TEST_F(TypeLibraryTest, InterfaceMembersInVtableOrder) {
    TComPtr<ITypeInfo> dispatch = Type(0);
    HREFTYPE vtableRef = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(UINT(-1), &vtableRef));
    TComPtr<ITypeInfo> vtable;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));
    ASSERT_EQ(41u, sizeof(kMembers) / sizeof(kMembers[0]));

    for (UINT i = 0; i < 41; ++i) {
        const TMember& m = kMembers[i];
        SCOPED_TRACE(std::to_string(i) + " " + BstrToUtf8(TBstr(m.Name).Get()));
        TFuncDescGuard func(vtable.Get(), i);
        ASSERT_NE(nullptr, func.Desc);
        const FUNCDESC& d = *func.Desc;
        EXPECT_EQ(m.Id, d.memid);
        EXPECT_EQ(m.Kind, d.invkind);
        EXPECT_EQ(SHORT((7 + i) * 4), d.oVft);
        EXPECT_EQ(CC_STDCALL, d.callconv);
        EXPECT_EQ(FUNC_PUREVIRTUAL, d.funckind);
        EXPECT_EQ(VT_HRESULT, d.elemdescFunc.tdesc.vt);
        EXPECT_EQ(m.Hidden, (d.wFuncFlags & FUNCFLAG_FHIDDEN) != 0);

        const bool isGet = m.Kind == INVOKE_PROPERTYGET;
        const bool isMethod = m.Kind == INVOKE_FUNC;
        ASSERT_EQ(isMethod ? 3 : 1, d.cParams);
        const ELEMDESC& last = d.lprgelemdescParam[d.cParams - 1];
        if (isGet || isMethod) {
            EXPECT_EQ(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, last.paramdesc.wParamFlags);
            ASSERT_EQ(VT_PTR, last.tdesc.vt);
            EXPECT_EQ(m.Type, last.tdesc.lptdesc->vt);
        } else {
            EXPECT_EQ(PARAMFLAG_FIN, last.paramdesc.wParamFlags);
            EXPECT_EQ(m.Type, last.tdesc.vt);
        }
        if (isMethod) {
            for (int p = 0; p < 2; ++p) {
                EXPECT_EQ(VT_BSTR, d.lprgelemdescParam[p].tdesc.vt);
                EXPECT_EQ(PARAMFLAG_FIN, d.lprgelemdescParam[p].paramdesc.wParamFlags);
            }
        }

        // Names: the member's own, then its parameters' (put accessors have
        // one unnamed parameter). By member id the first accessor answers,
        // so parameter names are checked on get accessors and methods only.
        if (m.Kind != INVOKE_PROPERTYPUT && m.Kind != INVOKE_PROPERTYPUTREF) {
            BSTR names[4] = {};
            UINT count = 0;
            ASSERT_EQ(S_OK, vtable->GetNames(d.memid, names, 4, &count));
            std::vector<TBstr> owned;
            for (UINT n = 0; n < count; ++n) owned.push_back(TBstr::Adopt(names[n]));
            ASSERT_EQ(UINT(d.cParams) + 1, count);
            EXPECT_EQ(m.Name, owned[0].Wide());
            for (UINT n = 1; n < count; ++n) EXPECT_EQ(m.ParamNames[n - 1], owned[n].Wide());
        }
    }
}

// The user-defined types that the accessors use resolve to the library's
// own enumerations and stdole's OLE_COLOR and IFontDisp.
TEST_F(TypeLibraryTest, AccessorTypesResolve) {
    TComPtr<ITypeInfo> dispatch = Type(0);
    HREFTYPE vtableRef = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(UINT(-1), &vtableRef));
    TComPtr<ITypeInfo> vtable;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));
    struct TCase { UINT Index; const wchar_t* TypeName; const wchar_t* LibraryName; };
    const TCase cases[] = {
        {7, L"TxActiveFormBorderStyle", L"Vellomar"}, {11, L"OLE_COLOR", L"stdole"},
        {13, L"IFontDisp", L"stdole"}, {14, L"IFontDisp", L"stdole"},
        {20, L"TxPrintScale", L"Vellomar"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Index);
        TFuncDescGuard func(vtable.Get(), c.Index);
        ASSERT_NE(nullptr, func.Desc);
        const TYPEDESC* type = &func.Desc->lprgelemdescParam[0].tdesc;
        if (type->vt == VT_PTR) type = type->lptdesc;
        if (c.Index == 14) {  // putref: IFontDisp**
            ASSERT_EQ(VT_PTR, type->vt);
            type = type->lptdesc;
        }
        ASSERT_EQ(VT_USERDEFINED, type->vt);
        TComPtr<ITypeInfo> referred;
        ASSERT_EQ(S_OK, vtable->GetRefTypeInfo(type->hreftype, referred.Put()));
        EXPECT_EQ(c.TypeName, Name(referred.Get(), MEMBERID_NIL));
        TComPtr<ITypeLib> library;
        UINT index = 0;
        ASSERT_EQ(S_OK, referred->GetContainingTypeLib(library.Put(), &index));
        TBstr libraryName;
        ASSERT_EQ(S_OK, library->GetDocumentation(-1, libraryName.Put(), nullptr, nullptr, nullptr));
        EXPECT_EQ(c.LibraryName, libraryName.Wide());
    }
}

TEST_F(TypeLibraryTest, EventsInterface) {
    TComPtr<ITypeInfo> events = Type(1);
    TTypeAttrGuard attr(events.Get());
    struct TEvent { const wchar_t* Name; MEMBERID Id; };
    const TEvent expected[] = {
        {L"OnActivate", 201}, {L"OnClick", 202}, {L"OnCreate", 203}, {L"OnDblClick", 204},
        {L"OnDestroy", 205}, {L"OnDeactivate", 206}, {L"OnKeyPress", 207}, {L"OnPaint", 208},
    };
    // A dispatch interface lists IDispatch's own methods first, restricted.
    std::vector<UINT> own;
    for (UINT i = 0; i < attr.Attr->cFuncs; ++i) {
        TFuncDescGuard func(events.Get(), i);
        ASSERT_NE(nullptr, func.Desc);
        if (!(func.Desc->wFuncFlags & FUNCFLAG_FRESTRICTED)) own.push_back(i);
    }
    ASSERT_EQ(8u, own.size());
    for (UINT e = 0; e < 8; ++e) {
        SCOPED_TRACE(e);
        TFuncDescGuard func(events.Get(), own[e]);
        const FUNCDESC& d = *func.Desc;
        EXPECT_EQ(expected[e].Id, d.memid);
        EXPECT_EQ(FUNC_DISPATCH, d.funckind);
        EXPECT_EQ(INVOKE_FUNC, d.invkind);
        EXPECT_EQ(VT_VOID, d.elemdescFunc.tdesc.vt);
        EXPECT_EQ(expected[e].Name, Name(events.Get(), d.memid));
        if (d.memid == 207) {
            ASSERT_EQ(1, d.cParams);
            const ELEMDESC& key = d.lprgelemdescParam[0];
            ASSERT_EQ(VT_PTR, key.tdesc.vt);
            EXPECT_EQ(VT_I2, key.tdesc.lptdesc->vt);
            EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOUT, key.paramdesc.wParamFlags);
            BSTR names[2] = {};
            UINT count = 0;
            ASSERT_EQ(S_OK, events->GetNames(207, names, 2, &count));
            TBstr first = TBstr::Adopt(names[0]), second = TBstr::Adopt(count > 1 ? names[1] : nullptr);
            EXPECT_EQ(L"Key", second.Wide());
        } else {
            EXPECT_EQ(0, d.cParams);
        }
    }
}

TEST_F(TypeLibraryTest, ControlClassInterfaces) {
    TComPtr<ITypeInfo> coclass = Type(2);
    TTypeAttrGuard attr(coclass.Get());
    ASSERT_EQ(2, attr.Attr->cImplTypes);
    struct TImpl { GUID Iid; INT Flags; };
    const TImpl expected[] = {
        {IID_IVellomarX, IMPLTYPEFLAG_FDEFAULT},
        {DIID_IVellomarXEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    for (UINT k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        INT flags = 0;
        ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(k, &flags));
        EXPECT_EQ(expected[k].Flags, flags);
        HREFTYPE ref = 0;
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(k, &ref));
        TComPtr<ITypeInfo> implemented;
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, implemented.Put()));
        TTypeAttrGuard implAttr(implemented.Get());
        EXPECT_TRUE(IsEqualGUID(expected[k].Iid, implAttr.Attr->guid));
    }
}

TEST_F(TypeLibraryTest, EnumerationConstantsWithTheirNamesAsHelpStrings) {
    struct TConstant { const wchar_t* Name; LONG Value; };
    const std::vector<std::vector<TConstant>> expected = {
        {{L"afbNone", 0}, {L"afbSingle", 1}, {L"afbSunken", 2}, {L"afbRaised", 3}},
        {{L"poNone", 0}, {L"poProportional", 1}, {L"poPrintToFit", 2}},
        {{L"mbLeft", 0}, {L"mbRight", 1}, {L"mbMiddle", 2}},
    };
    for (UINT e = 0; e < 3; ++e) {
        TComPtr<ITypeInfo> enumeration = Type(3 + e);
        TTypeAttrGuard attr(enumeration.Get());
        ASSERT_EQ(expected[e].size(), attr.Attr->cVars);
        for (UINT v = 0; v < attr.Attr->cVars; ++v) {
            SCOPED_TRACE(std::to_string(e) + "/" + std::to_string(v));
            VARDESC* var = nullptr;
            ASSERT_EQ(S_OK, enumeration->GetVarDesc(v, &var));
            EXPECT_EQ(VAR_CONST, var->varkind);
            ASSERT_NE(nullptr, var->lpvarValue);
            VARIANT value;
            VariantInit(&value);
            ASSERT_EQ(S_OK, VariantChangeType(&value, var->lpvarValue, 0, VT_I4));
            EXPECT_EQ(expected[e][v].Value, V_I4(&value));
            EXPECT_EQ(expected[e][v].Name, Name(enumeration.Get(), var->memid));
            EXPECT_EQ(expected[e][v].Name, DocString(enumeration.Get(), var->memid));
            enumeration->ReleaseVarDesc(var);
        }
    }
}

TEST_F(TypeLibraryTest, ImportsStdOle) {
    TComPtr<ITypeInfo> dispatch = Type(0);
    HREFTYPE baseRef = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(0, &baseRef));
    TComPtr<ITypeInfo> base;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(baseRef, base.Put()));
    TComPtr<ITypeLib> stdole;
    UINT index = 0;
    ASSERT_EQ(S_OK, base->GetContainingTypeLib(stdole.Put(), &index));
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, stdole->GetLibAttr(&attr));
    const GUID stdoleId = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_TRUE(IsEqualGUID(stdoleId, attr->guid));
    EXPECT_EQ(2, attr->wMajorVerNum);
    stdole->ReleaseTLibAttr(attr);
}

}  // namespace
}  // namespace vellomar::testing
