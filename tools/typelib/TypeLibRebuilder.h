#pragma once
// Rebuilds a compiled type library through ICreateTypeLib2: every type of
// the source is copied with its members, attributes and help strings, in the
// order that the caller asks for, with the finishing touches that the IDL
// compiler cannot express.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace vellomar::typelib {

struct TRebuildOptions {
    // Type names in the order they are written; types not named follow in
    // their source order.
    std::vector<std::wstring> TypeOrder;
    // Every enumeration constant gets its own name as its help string.
    bool NameEnumConstants = true;
    // A type whose version is 0.0 takes the library's version.
    bool VersionFromLibrary = true;
};

// Reads 'source' and writes the rebuilt library to 'target'. Answers the
// first failing call's result, with a line saying what failed in 'failure'.
HRESULT RebuildTypeLib(const std::wstring& source, const std::wstring& target,
                       const TRebuildOptions& options, std::wstring& failure);

}  // namespace vellomar::typelib
