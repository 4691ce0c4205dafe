#pragma once
// The one class factory of the control class, created when the module is
// loaded. It is not heap-allocated: it lives as long as the module and only
// counts the references that others hold to it.
#include <windows.h>
#include <unknwn.h>

namespace vellomar::com {

class TClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

// The module's factory.
TClassFactory& ControlFactory();

}  // namespace vellomar::com
