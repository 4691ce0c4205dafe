#pragma once
// A repair of a saved type library file. ICreateTypeLib2 as Wine implements
// it records every reference into another library by the referred type's
// GUID, also for types that have none: stdole2's IFontDisp is an alias
// without a GUID, and a reference to it by the null GUID would resolve to
// stdole2's first type. This rewrites such references to name the type by
// its index in the imported library, as the file format provides.
#include <windows.h>

#include <string>

namespace vellomar::typelib {

// Rewrites every reference of 'path' that names an imported type by the
// null GUID so that it names the type at 'index' instead. Answers S_OK when
// there was nothing to rewrite, E_FAIL for a file that is not a 32-bit
// type library or cannot be written.
HRESULT FixGuidlessImports(const std::wstring& path, int index, std::wstring& failure);

}  // namespace vellomar::typelib
