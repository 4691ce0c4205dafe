#include "platform/win32/AtlContainer.h"

namespace vellomar {

TAtlContainer::TAtlContainer() : FModule(LoadLibraryW(L"atl.dll")) {
    if (!FModule) return;
    auto init = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(FModule, "AtlAxWinInit")));
    FCreate = reinterpret_cast<TCreate>(
        reinterpret_cast<void*>(GetProcAddress(FModule, "AtlAxCreateControlEx")));
    if (!init || !init()) FCreate = nullptr;
}

HRESULT TAtlContainer::Create(const wchar_t* progId, HWND window, TComPtr<IUnknown>& container,
                              TComPtr<IUnknown>& control) const {
    if (!FCreate) return E_FAIL;
    return FCreate(progId, window, nullptr, container.Put(), control.Put(), IID_NULL, nullptr);
}

const TAtlContainer& AtlContainer() {
    static const TAtlContainer container;
    return container;
}

}  // namespace vellomar
