#pragma once
// The ActiveX control container that Windows ships in atl.dll
// (AtlAxWinInit / AtlAxCreateControlEx), as host applications use it.
#include <windows.h>
#include <ole2.h>

#include "platform/win32/ComPtr.h"

namespace vellomar {

class TAtlContainer {
public:
    // Whether atl.dll was found and its host window class registered.
    bool Usable() const { return FCreate != nullptr; }
    // Creates the control of the ProgID in place inside 'window'.
    HRESULT Create(const wchar_t* progId, HWND window, TComPtr<IUnknown>& container,
                   TComPtr<IUnknown>& control) const;

private:
    friend const TAtlContainer& AtlContainer();
    TAtlContainer();
    using TCreate = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**, REFIID, IUnknown*);
    HMODULE FModule;
    TCreate FCreate = nullptr;
};

// The process's one container: atl.dll stays loaded for the process, since
// the window class it registers belongs to it.
const TAtlContainer& AtlContainer();

}  // namespace vellomar
