#pragma once
// The reference count of a heap-allocated COM object. The object is created
// through NewComObject and frees itself when its last reference goes; the
// module counts it as alive meanwhile.
#include <windows.h>

#include <atomic>
#include <memory>
#include <utility>

#include "control/win32/ModuleState.h"

namespace vellomar::com {

class TRefCount {
public:
    ULONG AddRef() { return ++FCount; }
    // Answers the count left; 0 means the caller must free the object.
    ULONG Release() { return --FCount; }

private:
    std::atomic<ULONG> FCount{1};
    TObjectCount FAlive;
};

// Frees a COM object whose count reached 0 (the only place that does).
template <typename T>
ULONG ReleaseComObject(T* object, ULONG remaining) {
    if (remaining == 0) std::unique_ptr<T> owner(object);
    return remaining;
}

// Creates a COM object holding one reference, handed to the caller.
template <typename T, typename... Args>
T* NewComObject(Args&&... args) {
    return std::make_unique<T>(std::forward<Args>(args)...).release();
}

// One row of an interface table: the IID and how to reach it from the object.
template <typename T>
struct TInterfaceEntry {
    const IID* Iid;
    void* (*Cast)(T* object);
};

template <typename T, typename I>
void* InterfaceOf(T* object) {
    return static_cast<I*>(object);
}

// QueryInterface over an interface table; IUnknown is the first row's.
template <typename T, size_t N>
HRESULT QueryInterfaceTable(T* object, const TInterfaceEntry<T> (&table)[N], REFIID iid,
                            void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *out = table[0].Cast(object);
    } else {
        for (const TInterfaceEntry<T>& entry : table) {
            if (IsEqualIID(iid, *entry.Iid)) {
                *out = entry.Cast(object);
                break;
            }
        }
    }
    if (!*out) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

}  // namespace vellomar::com
