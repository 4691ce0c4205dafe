#pragma once
// The registry entries of the server, as data: one table of keys under
// HKEY_CLASSES_ROOT, written in table order by registration and deleted in
// each key's own deletion rank by unregistration.
#include <windows.h>

#include <string>
#include <vector>

namespace vellomar::com {

struct TRegistryValue {
    std::wstring Name;  // empty: the key's default value
    std::wstring Data;
};

struct TRegistryKey {
    std::wstring Path;                   // below HKEY_CLASSES_ROOT
    std::vector<TRegistryValue> Values;  // none: an empty key
    int DeleteRank;                      // unregistration deletes rank 1 first
};

// What the entries are made of.
struct TRegistrationFacts {
    std::wstring ModulePath;   // the module's full file name
    std::wstring InprocPath;   // the same, or its short form when it has a blank
    std::wstring ClassId;      // {XXXXXXXX-...}, upper case
    std::wstring LibraryId;
    std::wstring ProgId;
    std::wstring Description;
    std::wstring Version;      // "major.minor" of the type library
    unsigned long MiscStatus;
    int ToolboxBitmapId;
    std::wstring Verb;         // verb 0: name, flags and attributes
};

std::vector<TRegistryKey> RegistryKeys(const TRegistrationFacts& facts);

// The facts of this module: its path, its GUIDs and its type library's
// version. Answers an error when the module's type library cannot be read.
HRESULT ModuleRegistrationFacts(TRegistrationFacts& facts);

// DllRegisterServer / DllUnregisterServer: S_OK, or E_FAIL at the first step
// that fails (what was done before it stays done).
HRESULT RegisterServer();
HRESULT UnregisterServer();

// A GUID as registry text: upper-case hexadecimal in braces.
std::wstring GuidText(REFGUID guid);

}  // namespace vellomar::com
