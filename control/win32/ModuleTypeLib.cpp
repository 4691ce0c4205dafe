#include "control/win32/ModuleTypeLib.h"

#include <mutex>
#include <string>

#include "Vellomar_TLB.h"
#include "control/win32/ModuleState.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/Win32Services.h"

namespace vellomar::com {

namespace {

struct TCache {
    std::mutex Lock;
    bool Loaded = false;
    TComPtr<ITypeLib> Library;
    TComPtr<ITypeInfo> DispatchInfo, InterfaceInfo, ClassInfo, EventsInfo;
    TModuleTypeInfos View;
};

TCache& Cache() {
    static TCache cache;
    return cache;
}

HRESULT Load(TCache& cache) {
    const std::wstring path = ModuleFileNameW(ModuleInstance());
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, cache.Library.Put());
    if (FAILED(hr)) return hr;
    hr = cache.Library->GetTypeInfoOfGuid(IID_IVellomarX, cache.DispatchInfo.Put());
    if (FAILED(hr)) return hr;
    // A dual interface's dispatch description refers to its vtable side
    // through the implemented-type index -1.
    HREFTYPE vtableSide = 0;
    hr = cache.DispatchInfo->GetRefTypeOfImplType(UINT(-1), &vtableSide);
    if (FAILED(hr)) return hr;
    hr = cache.DispatchInfo->GetRefTypeInfo(vtableSide, cache.InterfaceInfo.Put());
    if (FAILED(hr)) return hr;
    hr = cache.Library->GetTypeInfoOfGuid(CLSID_VellomarX, cache.ClassInfo.Put());
    if (FAILED(hr)) return hr;
    return cache.Library->GetTypeInfoOfGuid(DIID_IVellomarXEvents, cache.EventsInfo.Put());
}

}  // namespace

HRESULT ModuleTypeInfos(const TModuleTypeInfos** out) {
    *out = nullptr;
    TCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.Lock);
    if (!cache.Loaded) {
        const HRESULT hr = Load(cache);
        if (FAILED(hr)) {
            cache.Library.Reset();
            cache.DispatchInfo.Reset();
            cache.InterfaceInfo.Reset();
            cache.ClassInfo.Reset();
            cache.EventsInfo.Reset();
            return hr;
        }
        cache.View = {cache.Library.Get(), cache.DispatchInfo.Get(), cache.InterfaceInfo.Get(),
                      cache.ClassInfo.Get(), cache.EventsInfo.Get()};
        cache.Loaded = true;
    }
    *out = &cache.View;
    return S_OK;
}

void ReleaseModuleTypeInfos() {
    TCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.Lock);
    cache.View = {};
    cache.EventsInfo.Reset();
    cache.ClassInfo.Reset();
    cache.InterfaceInfo.Reset();
    cache.DispatchInfo.Reset();
    cache.Library.Reset();
    cache.Loaded = false;
}

}  // namespace vellomar::com
