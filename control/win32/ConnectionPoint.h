#pragma once
// A connection point of the control: sinks of one outgoing interface,
// connected by Advise and disconnected by Unadvise. It is part of the
// control object, whose reference count it shares.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <vector>

#include "platform/win32/ComPtr.h"

namespace vellomar::com {

class TConnectionPoint final : public IConnectionPoint {
public:
    // 'owner' is the control that the point belongs to; 'maxSinks' bounds
    // the connected sinks; 'changed' runs after every connection and every
    // disconnection.
    TConnectionPoint(IConnectionPointContainer& owner, REFIID iid, size_t maxSinks,
                     std::function<void()> changed);
    TConnectionPoint(const TConnectionPoint&) = delete;
    TConnectionPoint& operator=(const TConnectionPoint&) = delete;

    // The connected sinks, as their outgoing interface, in slot order.
    std::vector<IUnknown*> Sinks() const;
    // Releases every sink without running the change step (destruction).
    void DisconnectAll();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    // A cookie is the sink's slot number counted from 1.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    IConnectionPointContainer& FOwner;
    IID FIid;
    size_t FMaxSinks;
    std::function<void()> FChanged;
    std::vector<TComPtr<IUnknown>> FSlots;  // empty slots are free
};

}  // namespace vellomar::com
