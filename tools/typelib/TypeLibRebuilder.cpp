#include "tools/typelib/TypeLibRebuilder.h"

#include <algorithm>
#include <deque>

#include "platform/win32/Bstr.h"
#include "tools/typelib/ImportFixup.h"
#include "platform/win32/ComPtr.h"

namespace vellomar::typelib {

namespace {

// One type being copied: where it comes from and what it becomes.
struct TTypeCopy {
    std::wstring Name;
    TYPEKIND Kind;
    GUID Guid;
    TComPtr<ITypeInfo> Source;  // for a dual interface, its vtable side
    TComPtr<ICreateTypeInfo> Target;
    TComPtr<ITypeInfo> TargetInfo;
};

// Releases a type attribute block with its type description.
class TTypeAttr {
public:
    explicit TTypeAttr(ITypeInfo* info) : FInfo(info) { FResult = info->GetTypeAttr(&FAttr); }
    TTypeAttr(const TTypeAttr&) = delete;
    TTypeAttr& operator=(const TTypeAttr&) = delete;
    ~TTypeAttr() { if (FAttr) FInfo->ReleaseTypeAttr(FAttr); }
    HRESULT Result() const { return FResult; }
    const TYPEATTR* operator->() const { return FAttr; }

private:
    ITypeInfo* FInfo;
    TYPEATTR* FAttr = nullptr;
    HRESULT FResult;
};

class TFuncDesc {
public:
    TFuncDesc(ITypeInfo* info, UINT index) : FInfo(info) { FResult = info->GetFuncDesc(index, &FDesc); }
    TFuncDesc(const TFuncDesc&) = delete;
    TFuncDesc& operator=(const TFuncDesc&) = delete;
    ~TFuncDesc() { if (FDesc) FInfo->ReleaseFuncDesc(FDesc); }
    HRESULT Result() const { return FResult; }
    const FUNCDESC* operator->() const { return FDesc; }
    const FUNCDESC& operator*() const { return *FDesc; }

private:
    ITypeInfo* FInfo;
    FUNCDESC* FDesc = nullptr;
    HRESULT FResult;
};

class TVarDesc {
public:
    TVarDesc(ITypeInfo* info, UINT index) : FInfo(info) { FResult = info->GetVarDesc(index, &FDesc); }
    TVarDesc(const TVarDesc&) = delete;
    TVarDesc& operator=(const TVarDesc&) = delete;
    ~TVarDesc() { if (FDesc) FInfo->ReleaseVarDesc(FDesc); }
    HRESULT Result() const { return FResult; }
    const VARDESC* operator->() const { return FDesc; }
    const VARDESC& operator*() const { return *FDesc; }

private:
    ITypeInfo* FInfo;
    VARDESC* FDesc = nullptr;
    HRESULT FResult;
};

class TRebuilder {
public:
    TRebuilder(const TRebuildOptions& options, std::wstring& failure)
        : FOptions(options), FFailure(failure) {}

    HRESULT Run(const std::wstring& source, const std::wstring& target) {
        HRESULT hr = Check(LoadTypeLibEx(source.c_str(), REGKIND_NONE, FSource.Put()),
                           L"loading " + source);
        if (SUCCEEDED(hr)) hr = CreateLibrary(target);
        if (SUCCEEDED(hr)) hr = CollectTypes();
        if (SUCCEEDED(hr)) hr = CreateTypes();
        for (TTypeCopy& type : FTypes) {
            if (SUCCEEDED(hr)) hr = FillType(type);
        }
        for (TTypeCopy& type : FTypes) {
            if (SUCCEEDED(hr)) hr = Check(type.Target->LayOut(), L"laying out " + type.Name);
        }
        // Laying out marks a class dispatchable when its interfaces are; the
        // class keeps exactly the flags that the source gives it.
        for (TTypeCopy& type : FTypes) {
            if (SUCCEEDED(hr)) hr = RestoreFlags(type);
        }
        if (SUCCEEDED(hr)) hr = Check(FTarget->SaveAllChanges(), L"saving " + target);
        if (SUCCEEDED(hr)) hr = FixImports(target);
        return hr;
    }

private:
    HRESULT Check(HRESULT hr, const std::wstring& what) {
        if (FAILED(hr) && FFailure.empty()) FFailure = what;
        return hr;
    }

    // Imported types without a GUID are saved by the null GUID; the saved
    // file is repaired to name them by index. One such type can be told
    // apart that way, more cannot.
    HRESULT FixImports(const std::wstring& target) {
        if (FGuidlessImports.empty()) return S_OK;
        if (FGuidlessImports.size() > 1) {
            return Check(E_NOTIMPL, L"referring to more than one imported type without a GUID");
        }
        std::wstring failure;
        const HRESULT hr = FixGuidlessImports(target, FGuidlessImports.front(), failure);
        return Check(hr, failure);
    }

    // Notes a referred type of another library that has no GUID.
    void NoteGuidlessImport(ITypeInfo* referred) {
        TTypeAttr attr(referred);
        if (FAILED(attr.Result()) || !IsEqualGUID(attr->guid, GUID_NULL)) return;
        TComPtr<ITypeLib> library;
        UINT index = 0;
        if (FAILED(referred->GetContainingTypeLib(library.Put(), &index))) return;
        if (std::find(FGuidlessImports.begin(), FGuidlessImports.end(), int(index)) == FGuidlessImports.end()) {
            FGuidlessImports.push_back(int(index));
        }
    }

    HRESULT RestoreFlags(TTypeCopy& type) {
        TTypeAttr attr(type.Source.Get());
        HRESULT hr = Check(attr.Result(), L"reading " + type.Name);
        if (SUCCEEDED(hr)) hr = Check(type.Target->SetTypeFlags(attr->wTypeFlags), L"flags of " + type.Name);
        return hr;
    }

    HRESULT CreateLibrary(const std::wstring& target) {
        TLIBATTR* attributes = nullptr;
        HRESULT hr = Check(FSource->GetLibAttr(&attributes), L"reading the library attributes");
        if (FAILED(hr)) return hr;
        FLibrary = *attributes;
        FSource->ReleaseTLibAttr(attributes);

        TBstr name, doc, helpFile;
        DWORD helpContext = 0;
        hr = Check(FSource->GetDocumentation(-1, name.Put(), doc.Put(), &helpContext, helpFile.Put()),
                   L"reading the library documentation");
        if (FAILED(hr)) return hr;

        TComPtr<ICreateTypeLib2> library;
        hr = Check(CreateTypeLib2(FLibrary.syskind, target.c_str(), library.Put()),
                   L"creating " + target);
        if (FAILED(hr)) return hr;
        FTarget = library;
        hr = Check(FTarget->SetName(name.Get()), L"naming the library");
        if (SUCCEEDED(hr)) hr = Check(FTarget->SetGuid(FLibrary.guid), L"setting the LIBID");
        if (SUCCEEDED(hr)) hr = Check(FTarget->SetLcid(FLibrary.lcid), L"setting the locale");
        if (SUCCEEDED(hr)) {
            hr = Check(FTarget->SetVersion(FLibrary.wMajorVerNum, FLibrary.wMinorVerNum),
                       L"setting the library version");
        }
        if (SUCCEEDED(hr) && doc.Get()) hr = Check(FTarget->SetDocString(doc.Get()), L"library help string");
        if (SUCCEEDED(hr) && helpFile.Get()) hr = Check(FTarget->SetHelpFileName(helpFile.Get()), L"help file");
        if (SUCCEEDED(hr)) hr = Check(FTarget->SetHelpContext(helpContext), L"help context");
        if (SUCCEEDED(hr)) hr = Check(FTarget->SetLibFlags(FLibrary.wLibFlags), L"library flags");
        return hr;
    }

    HRESULT CollectTypes() {
        const UINT count = FSource->GetTypeInfoCount();
        for (UINT i = 0; i < count; ++i) {
            TTypeCopy type;
            TBstr name;
            HRESULT hr = Check(FSource->GetTypeInfo(i, type.Source.Put()), L"reading a type");
            if (SUCCEEDED(hr)) hr = Check(FSource->GetDocumentation(int(i), name.Put(), nullptr, nullptr, nullptr), L"naming a type");
            if (FAILED(hr)) return hr;
            type.Name = name.Wide();
            TTypeAttr attr(type.Source.Get());
            if (FAILED(Check(attr.Result(), L"reading " + type.Name))) return attr.Result();
            type.Kind = attr->typekind;
            type.Guid = attr->guid;
            if (type.Kind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL)) {
                // A dual interface is written as its vtable side; the dispatch
                // side follows from it.
                HREFTYPE vtableSide = 0;
                hr = Check(type.Source->GetRefTypeOfImplType(UINT(-1), &vtableSide), L"dual " + type.Name);
                TComPtr<ITypeInfo> vtable;
                if (SUCCEEDED(hr)) hr = Check(type.Source->GetRefTypeInfo(vtableSide, vtable.Put()), L"dual " + type.Name);
                if (FAILED(hr)) return hr;
                type.Source = vtable;
                type.Kind = TKIND_INTERFACE;
            }
            FTypes.push_back(std::move(type));
        }
        auto rank = [this](const TTypeCopy& type) {
            auto found = std::find(FOptions.TypeOrder.begin(), FOptions.TypeOrder.end(), type.Name);
            return size_t(found - FOptions.TypeOrder.begin());
        };
        std::stable_sort(FTypes.begin(), FTypes.end(), [&](const TTypeCopy& a, const TTypeCopy& b) {
            return rank(a) < rank(b);
        });
        return S_OK;
    }

    HRESULT CreateTypes() {
        for (TTypeCopy& type : FTypes) {
            std::wstring name = type.Name;
            HRESULT hr = Check(FTarget->CreateTypeInfo(name.data(), type.Kind, type.Target.Put()),
                               L"creating " + type.Name);
            if (SUCCEEDED(hr)) hr = Check(type.Target.As(IID_ITypeInfo, type.TargetInfo), L"creating " + type.Name);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }

    // The target's counterpart of a type that the source refers to: one of
    // the copied types (matched by GUID), or the referred type itself when
    // it lives in another library (stdole2).
    ITypeInfo* Counterpart(ITypeInfo* referred) {
        TTypeAttr attr(referred);
        if (FAILED(attr.Result())) return referred;
        TComPtr<ITypeLib> library;
        UINT index = 0;
        if (SUCCEEDED(referred->GetContainingTypeLib(library.Put(), &index)) &&
            library.Get() == FSource.Get()) {
            for (TTypeCopy& type : FTypes) {
                if (IsEqualGUID(type.Guid, attr->guid)) return type.TargetInfo.Get();
            }
        }
        return referred;
    }

    HRESULT MapReference(TTypeCopy& type, HREFTYPE sourceRef, HREFTYPE& targetRef) {
        TComPtr<ITypeInfo> referred;
        HRESULT hr = Check(type.Source->GetRefTypeInfo(sourceRef, referred.Put()),
                           L"resolving a reference of " + type.Name);
        if (FAILED(hr)) return hr;
        ITypeInfo* counterpart = Counterpart(referred.Get());
        if (counterpart == referred.Get()) NoteGuidlessImport(counterpart);
        return Check(type.Target->AddRefTypeInfo(counterpart, &targetRef),
                     L"adding a reference to " + type.Name);
    }

    // Copies a type description into 'store', remapping user-defined types.
    HRESULT CopyTypeDesc(TTypeCopy& type, const TYPEDESC& source, TYPEDESC& target,
                         std::deque<TYPEDESC>& store) {
        target = source;
        switch (source.vt) {
        case VT_PTR:
        case VT_SAFEARRAY:
            store.emplace_back();
            target.lptdesc = &store.back();
            return CopyTypeDesc(type, *source.lptdesc, store.back(), store);
        case VT_USERDEFINED:
            return MapReference(type, source.hreftype, target.hreftype);
        case VT_CARRAY:
            return Check(E_NOTIMPL, L"a fixed-size array in " + type.Name);
        default:
            return S_OK;
        }
    }

    HRESULT FillType(TTypeCopy& type) {
        TTypeAttr attr(type.Source.Get());
        HRESULT hr = Check(attr.Result(), L"reading " + type.Name);
        if (FAILED(hr)) return hr;
        TBstr doc;
        DWORD helpContext = 0;
        hr = Check(type.Source->GetDocumentation(MEMBERID_NIL, nullptr, doc.Put(), &helpContext, nullptr),
                   L"documentation of " + type.Name);
        if (FAILED(hr)) return hr;

        WORD major = attr->wMajorVerNum, minor = attr->wMinorVerNum;
        if (FOptions.VersionFromLibrary && major == 0 && minor == 0) {
            major = FLibrary.wMajorVerNum;
            minor = FLibrary.wMinorVerNum;
        }
        ICreateTypeInfo* target = type.Target.Get();
        hr = Check(target->SetGuid(attr->guid), L"GUID of " + type.Name);
        if (SUCCEEDED(hr)) hr = Check(target->SetTypeFlags(attr->wTypeFlags), L"flags of " + type.Name);
        if (SUCCEEDED(hr)) hr = Check(target->SetVersion(major, minor), L"version of " + type.Name);
        if (SUCCEEDED(hr) && doc.Get()) hr = Check(target->SetDocString(doc.Get()), L"help string of " + type.Name);
        if (SUCCEEDED(hr)) hr = Check(target->SetHelpContext(helpContext), L"help context of " + type.Name);
        if (SUCCEEDED(hr) && attr->typekind == TKIND_ALIAS) {
            std::deque<TYPEDESC> store;
            TYPEDESC alias{};
            hr = CopyTypeDesc(type, attr->tdescAlias, alias, store);
            if (SUCCEEDED(hr)) hr = Check(target->SetTypeDescAlias(&alias), L"alias " + type.Name);
        }
        if (SUCCEEDED(hr)) hr = CopyImplementedTypes(type, attr->cImplTypes);
        for (UINT f = 0; SUCCEEDED(hr) && f < attr->cFuncs; ++f) hr = CopyFunction(type, f);
        for (UINT v = 0; SUCCEEDED(hr) && v < attr->cVars; ++v) hr = CopyVariable(type, v);
        return hr;
    }

    HRESULT CopyImplementedTypes(TTypeCopy& type, UINT count) {
        for (UINT k = 0; k < count; ++k) {
            HREFTYPE sourceRef = 0, targetRef = 0;
            HRESULT hr = Check(type.Source->GetRefTypeOfImplType(k, &sourceRef), L"base of " + type.Name);
            if (SUCCEEDED(hr)) hr = MapReference(type, sourceRef, targetRef);
            if (SUCCEEDED(hr)) hr = Check(type.Target->AddImplType(k, targetRef), L"base of " + type.Name);
            INT flags = 0;
            if (SUCCEEDED(hr)) hr = Check(type.Source->GetImplTypeFlags(k, &flags), L"implemented flags of " + type.Name);
            if (SUCCEEDED(hr) && flags != 0) {
                hr = Check(type.Target->SetImplTypeFlags(k, flags), L"implemented flags of " + type.Name);
            }
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }

    HRESULT CopyFunction(TTypeCopy& type, UINT index) {
        TFuncDesc source(type.Source.Get(), index);
        HRESULT hr = Check(source.Result(), L"a function of " + type.Name);
        if (FAILED(hr)) return hr;
        std::deque<TYPEDESC> store;
        std::vector<ELEMDESC> params(source->lprgelemdescParam,
                                     source->lprgelemdescParam + source->cParams);
        FUNCDESC copy = *source;
        copy.lprgelemdescParam = params.empty() ? nullptr : params.data();
        hr = CopyTypeDesc(type, source->elemdescFunc.tdesc, copy.elemdescFunc.tdesc, store);
        for (SHORT p = 0; SUCCEEDED(hr) && p < source->cParams; ++p) {
            hr = CopyTypeDesc(type, source->lprgelemdescParam[p].tdesc, params[p].tdesc, store);
        }
        if (SUCCEEDED(hr)) hr = Check(type.Target->AddFuncDesc(index, &copy), L"adding a function to " + type.Name);
        if (FAILED(hr)) return hr;

        // Names by member id find the first function of a property, its get
        // accessor; put accessors carry no parameter names.
        std::vector<BSTR> names(size_t(source->cParams) + 1, nullptr);
        UINT found = 0;
        hr = Check(type.Source->GetNames(source->memid, names.data(), UINT(names.size()), &found),
                   L"names in " + type.Name);
        std::vector<TBstr> owned;
        for (UINT n = 0; n < found; ++n) owned.push_back(TBstr::Adopt(names[n]));
        if (FAILED(hr)) return hr;
        const bool isPut = (source->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) != 0;
        const UINT wanted = isPut ? 1 : std::min<UINT>(found, UINT(source->cParams) + 1);
        std::vector<LPOLESTR> targetNames;
        for (UINT n = 0; n < wanted && n < found; ++n) targetNames.push_back(owned[n].Get());
        hr = Check(type.Target->SetFuncAndParamNames(index, targetNames.data(), UINT(targetNames.size())),
                   L"naming a function of " + type.Name);
        if (FAILED(hr)) return hr;

        TBstr doc;
        DWORD helpContext = 0;
        hr = Check(type.Source->GetDocumentation(source->memid, nullptr, doc.Put(), &helpContext, nullptr),
                   L"documentation in " + type.Name);
        if (SUCCEEDED(hr) && doc.Get()) hr = Check(type.Target->SetFuncDocString(index, doc.Get()), L"function help string");
        if (SUCCEEDED(hr) && helpContext) hr = Check(type.Target->SetFuncHelpContext(index, helpContext), L"function help context");
        return hr;
    }

    HRESULT CopyVariable(TTypeCopy& type, UINT index) {
        TVarDesc source(type.Source.Get(), index);
        HRESULT hr = Check(source.Result(), L"a member of " + type.Name);
        if (FAILED(hr)) return hr;
        std::deque<TYPEDESC> store;
        VARDESC copy = *source;
        hr = CopyTypeDesc(type, source->elemdescVar.tdesc, copy.elemdescVar.tdesc, store);
        if (SUCCEEDED(hr)) hr = Check(type.Target->AddVarDesc(index, &copy), L"adding a member to " + type.Name);
        TBstr name, doc;
        if (SUCCEEDED(hr)) {
            hr = Check(type.Source->GetDocumentation(source->memid, name.Put(), doc.Put(), nullptr, nullptr),
                       L"naming a member of " + type.Name);
        }
        if (FAILED(hr)) return hr;
        hr = Check(type.Target->SetVarName(index, name.Get()), L"naming a member of " + type.Name);
        BSTR helpString = doc.Get();
        if (!helpString && FOptions.NameEnumConstants && type.Kind == TKIND_ENUM) helpString = name.Get();
        if (SUCCEEDED(hr) && helpString) {
            hr = Check(type.Target->SetVarDocString(index, helpString), L"member help string in " + type.Name);
        }
        return hr;
    }

    const TRebuildOptions& FOptions;
    std::wstring& FFailure;
    TComPtr<ITypeLib> FSource;
    TComPtr<ICreateTypeLib2> FTarget;
    TLIBATTR FLibrary{};
    std::vector<TTypeCopy> FTypes;
    std::vector<int> FGuidlessImports;  // indexes in their own libraries
};

}  // namespace

HRESULT RebuildTypeLib(const std::wstring& source, const std::wstring& target,
                       const TRebuildOptions& options, std::wstring& failure) {
    failure.clear();
    TRebuilder rebuilder(options, failure);
    return rebuilder.Run(source, target);
}

}  // namespace vellomar::typelib
