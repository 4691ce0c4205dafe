#pragma once
// The enumerator of a control's connection points. It holds a reference to
// each point (and so to the control) for its own lifetime.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "control/win32/ComObject.h"
#include "platform/win32/ComPtr.h"

namespace vellomar::com {

class TEnumConnectionPoints final : public IEnumConnectionPoints {
public:
    explicit TEnumConnectionPoints(const std::vector<IConnectionPoint*>& points, size_t position = 0);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return FRefs.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseComObject(this, FRefs.Release()); }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override;

private:
    TRefCount FRefs;
    std::vector<TComPtr<IConnectionPoint>> FPoints;
    size_t FPosition;
};

}  // namespace vellomar::com
