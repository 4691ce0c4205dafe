#include "control/win32/ConnectionPoint.h"

#include <algorithm>

#include "control/win32/ComErrors.h"

namespace vellomar::com {

TConnectionPoint::TConnectionPoint(IConnectionPointContainer& owner, REFIID iid, size_t maxSinks,
                                   std::function<void()> changed)
    : FOwner(owner), FIid(iid), FMaxSinks(maxSinks), FChanged(std::move(changed)) {}

std::vector<IUnknown*> TConnectionPoint::Sinks() const {
    std::vector<IUnknown*> sinks;
    for (const TComPtr<IUnknown>& slot : FSlots) {
        if (slot) sinks.push_back(slot.Get());
    }
    return sinks;
}

void TConnectionPoint::DisconnectAll() { FSlots.clear(); }

HRESULT TConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint)) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG TConnectionPoint::AddRef() { return FOwner.AddRef(); }
ULONG TConnectionPoint::Release() { return FOwner.Release(); }

HRESULT TConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = FIid;
    return S_OK;
}

HRESULT TConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    FOwner.AddRef();
    *out = &FOwner;
    return S_OK;
}

HRESULT TConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    if (Sinks().size() >= FMaxSinks) return CONNECT_E_ADVISELIMIT;
    TComPtr<IUnknown> outgoing;
    const HRESULT hr = sink->QueryInterface(FIid, outgoing.PutVoid());
    if (FAILED(hr)) return hr;
    if (!outgoing) return E_NOINTERFACE;
    return ComGuard([&] {
        auto free = std::find_if(FSlots.begin(), FSlots.end(),
                                 [](const TComPtr<IUnknown>& slot) { return !slot; });
        if (free == FSlots.end()) free = FSlots.insert(FSlots.end(), TComPtr<IUnknown>());
        *free = std::move(outgoing);
        *cookie = DWORD(free - FSlots.begin()) + 1;
        if (FChanged) FChanged();
        return S_OK;
    });
}

HRESULT TConnectionPoint::Unadvise(DWORD cookie) {
    if (cookie == 0 || cookie > FSlots.size() || !FSlots[cookie - 1]) return CONNECT_E_NOCONNECTION;
    // Released only after the change step, so that a sink which releases
    // the control in its own Release does not pull it away mid-call.
    TComPtr<IUnknown> leaving = std::move(FSlots[cookie - 1]);
    return ComGuard([&] {
        if (FChanged) FChanged();
        return S_OK;
    });
}

HRESULT TConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace vellomar::com
