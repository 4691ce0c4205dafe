#pragma once
// The wrapper around a host's event sink: passes every call on to the sink
// and answers success whatever the sink answers, so that a failing host
// handler never becomes an error inside the control.
#include <windows.h>
#include <oaidl.h>

#include "control/win32/ComObject.h"
#include "platform/win32/ComPtr.h"

namespace vellomar::com {

class TEventForwarder final : public IDispatch {
public:
    explicit TEventForwarder(IDispatch* sink) : FSink(sink) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return FRefs.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseComObject(this, FRefs.Release()); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

private:
    TRefCount FRefs;
    TComPtr<IDispatch> FSink;
};

}  // namespace vellomar::com
