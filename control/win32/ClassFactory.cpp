#include "control/win32/ClassFactory.h"

#include "control/win32/ComObject.h"
#include "control/win32/ModuleState.h"
#include "control/win32/VellomarControl.h"

namespace vellomar::com {

namespace {
const TInterfaceEntry<TClassFactory> kInterfaces[] = {
    {&IID_IClassFactory, InterfaceOf<TClassFactory, IClassFactory>},
};
}  // namespace

HRESULT TClassFactory::QueryInterface(REFIID iid, void** out) {
    return QueryInterfaceTable(this, kInterfaces, iid, out);
}

ULONG TClassFactory::AddRef() {
    FactoryReferenced();
    return 2;  // a static object: the count is only the module's business
}

ULONG TClassFactory::Release() {
    FactoryUnreferenced();
    return 1;
}

HRESULT TClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return TVellomarControl::Create(iid, out);
}

HRESULT TClassFactory::LockServer(BOOL lock) {
    vellomar::com::LockServer(lock != FALSE);
    return S_OK;
}

TClassFactory& ControlFactory() {
    static TClassFactory factory;
    return factory;
}

}  // namespace vellomar::com
