// The module entry of Vellomar.ocx: the four exported entry points of an
// in-process COM server (exported by name and ordinal through Vellomar.def).
#include <windows.h>
#include <olectl.h>

#include "Vellomar_TLB.h"
#include "control/win32/ClassFactory.h"
#include "control/win32/ModuleState.h"
#include "control/win32/ModuleTypeLib.h"
#include "control/win32/Registration.h"
#include "ftp/FtpUtil.h"
#include "surface/win32/FormWindow.h"

using namespace vellomar::com;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
        ControlFactory();  // the one factory exists from load on
        break;
    case DLL_PROCESS_DETACH:
        // On FreeLibrary the cached type library goes back; at process exit
        // (reserved non-null) other modules may already be gone.
        if (!reserved) {
            ReleaseModuleTypeInfos();
            vellomar::UnregisterFormWindowClass();
        }
        vellomar::FreeFtpUtiler(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_VellomarX)) return CLASS_E_CLASSNOTAVAILABLE;
    return ControlFactory().QueryInterface(iid, out);  // allocates nothing
}

STDAPI DllCanUnloadNow() { return CanUnloadNow() ? S_OK : S_FALSE; }

// A step that cannot even be attempted (out of memory) fails the whole
// registration like any other failing step.
STDAPI DllRegisterServer() {
    try {
        return RegisterServer();
    } catch (...) {
        return E_FAIL;
    }
}

STDAPI DllUnregisterServer() {
    try {
        return UnregisterServer();
    } catch (...) {
        return E_FAIL;
    }
}
