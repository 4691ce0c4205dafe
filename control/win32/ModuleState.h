#pragma once
// What the server module shares between its objects and threads: its own
// instance handle and the counters that DllCanUnloadNow reads. The counters
// change only through atomic increments and decrements.
#include <windows.h>

namespace vellomar::com {

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// Live COM objects of the server (controls and their helper objects).
void ObjectCreated();
void ObjectDestroyed();
// IClassFactory::LockServer.
void LockServer(bool lock);
// References to the class factory held outside the module.
void FactoryReferenced();
void FactoryUnreferenced();

// True while no object is alive, no lock is held and nobody outside holds
// the factory.
bool CanUnloadNow();

// Counts one live object for the lifetime of a member of that object.
class TObjectCount {
public:
    TObjectCount() { ObjectCreated(); }
    TObjectCount(const TObjectCount&) = delete;
    TObjectCount& operator=(const TObjectCount&) = delete;
    ~TObjectCount() { ObjectDestroyed(); }
};

}  // namespace vellomar::com
