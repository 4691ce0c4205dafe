#include "control/win32/Registration.h"

#include <oleauto.h>

#include <algorithm>
#include <cwctype>

#include "Vellomar_TLB.h"
#include "control/win32/ModuleState.h"
#include "control/win32/ModuleTypeLib.h"
#include "control/win32/ServerIdentity.h"
#include "platform/win32/Bstr.h"
#include "platform/win32/RegKey.h"
#include "platform/win32/Win32Services.h"

namespace vellomar::com {

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](wchar_t c) { return wchar_t(std::towupper(c)); });
    return result;
}

std::vector<TRegistryKey> RegistryKeys(const TRegistrationFacts& f) {
    const std::wstring classKey = L"CLSID\\" + f.ClassId;
    const std::wstring toolbox = f.ModulePath + L"," + std::to_wstring(f.ToolboxBitmapId);
    return {
        {classKey, {{L"", f.Description}}, 13},
        {classKey + L"\\InprocServer32",
         {{L"", f.InprocPath}, {L"ThreadingModel", L"Apartment"}}, 12},
        {f.ProgId, {{L"", f.Description}}, 11},
        {f.ProgId + L"\\Clsid", {{L"", f.ClassId}}, 10},
        {classKey + L"\\ProgID", {{L"", f.ProgId}}, 9},
        {classKey + L"\\Version", {{L"", f.Version}}, 8},
        {classKey + L"\\TypeLib", {{L"", f.LibraryId}}, 7},
        {classKey + L"\\MiscStatus", {{L"", L"0"}}, 6},
        {classKey + L"\\MiscStatus\\1", {{L"", std::to_wstring(f.MiscStatus)}}, 5},
        {classKey + L"\\ToolboxBitmap32", {{L"", toolbox}}, 4},
        {classKey + L"\\Control", {}, 3},
        {classKey + L"\\Verb", {}, 2},
        {classKey + L"\\Verb\\0", {{L"", f.Verb}}, 1},
    };
}

namespace {

bool HasBlank(const std::wstring& path) { return path.find(L' ') != std::wstring::npos; }

std::wstring ShortPath(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return path;
    shortPath.resize(length);
    return shortPath;
}

bool WriteKey(const TRegistryKey& key) {
    TRegKey handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.Path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, handle.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    for (const TRegistryValue& value : key.Values) {
        const DWORD bytes = DWORD((value.Data.size() + 1) * sizeof(wchar_t));
        if (RegSetValueExW(handle.Get(), value.Name.empty() ? nullptr : value.Name.c_str(), 0,
                           REG_SZ, reinterpret_cast<const BYTE*>(value.Data.c_str()),
                           bytes) != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

// A key that is already gone counts as deleted.
bool DeleteKey(const TRegistryKey& key) {
    const LONG result = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.Path.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace

HRESULT ModuleRegistrationFacts(TRegistrationFacts& facts) {
    const TModuleTypeInfos* infos = nullptr;
    HRESULT hr = ModuleTypeInfos(&infos);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = infos->Library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    facts.Version = std::to_wstring(attributes->wMajorVerNum) + L"." +
                    std::to_wstring(attributes->wMinorVerNum);
    facts.LibraryId = GuidText(attributes->guid);
    infos->Library->ReleaseTLibAttr(attributes);

    facts.ModulePath = ModuleFileNameW(ModuleInstance());
    if (facts.ModulePath.empty()) return E_FAIL;
    facts.InprocPath = HasBlank(facts.ModulePath) ? ShortPath(facts.ModulePath) : facts.ModulePath;
    facts.ClassId = GuidText(CLSID_VellomarX);
    facts.ProgId = kProgId;
    facts.Description = kClassDescription;
    facts.MiscStatus = kMiscStatus;
    facts.ToolboxBitmapId = kToolboxBitmapId;
    facts.Verb = kVerbProperties;
    return S_OK;
}

HRESULT RegisterServer() {
    TRegistrationFacts facts;
    if (FAILED(ModuleRegistrationFacts(facts))) return E_FAIL;
    const TModuleTypeInfos* infos = nullptr;
    if (FAILED(ModuleTypeInfos(&infos))) return E_FAIL;
    if (FAILED(RegisterTypeLib(infos->Library, const_cast<LPOLESTR>(facts.ModulePath.c_str()),
                               nullptr))) {
        return E_FAIL;
    }
    for (const TRegistryKey& key : RegistryKeys(facts)) {
        if (!WriteKey(key)) return E_FAIL;
    }
    return S_OK;
}

HRESULT UnregisterServer() {
    TRegistrationFacts facts;
    if (FAILED(ModuleRegistrationFacts(facts))) return E_FAIL;
    const TModuleTypeInfos* infos = nullptr;
    if (FAILED(ModuleTypeInfos(&infos))) return E_FAIL;
    TLIBATTR* attributes = nullptr;
    if (FAILED(infos->Library->GetLibAttr(&attributes))) return E_FAIL;
    const TLIBATTR library = *attributes;
    infos->Library->ReleaseTLibAttr(attributes);
    // A library that is not registered has nothing to remove.
    TBstr registeredPath;
    if (SUCCEEDED(QueryPathOfRegTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum,
                                        library.lcid, registeredPath.Put())) &&
        FAILED(UnRegisterTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum,
                                 library.lcid, library.syskind))) {
        return E_FAIL;
    }

    std::vector<TRegistryKey> keys = RegistryKeys(facts);
    std::sort(keys.begin(), keys.end(), [](const TRegistryKey& a, const TRegistryKey& b) {
        return a.DeleteRank < b.DeleteRank;
    });
    for (const TRegistryKey& key : keys) {
        if (!DeleteKey(key)) return E_FAIL;
    }
    return S_OK;
}

}  // namespace vellomar::com
