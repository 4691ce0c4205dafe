#pragma once
// The module's own type library (resource TYPELIB 1), loaded on first use and
// kept with the type descriptions that the control's IDispatch, its class
// information and its events need.
#include <windows.h>
#include <oaidl.h>

namespace vellomar::com {

struct TModuleTypeInfos {
    ITypeLib* Library = nullptr;
    ITypeInfo* DispatchInfo = nullptr;   // IVellomarX as a dispatch interface
    ITypeInfo* InterfaceInfo = nullptr;  // IVellomarX's vtable side, for Invoke
    ITypeInfo* ClassInfo = nullptr;      // the coclass VellomarX
    ITypeInfo* EventsInfo = nullptr;     // IVellomarXEvents
};

// Loads the library the first time; the pointers stay valid until the module
// is unloaded. Answers the load's error when the resource cannot be read.
HRESULT ModuleTypeInfos(const TModuleTypeInfos** out);

// Frees the cached descriptions (module unload).
void ReleaseModuleTypeInfos();

}  // namespace vellomar::com
