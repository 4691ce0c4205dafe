#include "control/win32/ModuleState.h"

#include <atomic>

namespace vellomar::com {

namespace {
HINSTANCE gInstance = nullptr;
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};
std::atomic<long> gFactoryReferences{0};
}  // namespace

void SetModuleInstance(HINSTANCE instance) { gInstance = instance; }
HINSTANCE ModuleInstance() { return gInstance; }

void ObjectCreated() { ++gObjects; }
void ObjectDestroyed() { --gObjects; }
void LockServer(bool lock) { lock ? ++gLocks : --gLocks; }
void FactoryReferenced() { ++gFactoryReferences; }
void FactoryUnreferenced() { --gFactoryReferences; }

bool CanUnloadNow() { return gObjects == 0 && gLocks == 0 && gFactoryReferences == 0; }

}  // namespace vellomar::com
