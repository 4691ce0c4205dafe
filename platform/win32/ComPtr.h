#pragma once
// An owning COM interface pointer: Release on destruction, AddRef on copy.
#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace vellomar {

template <typename T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    // Takes a new reference to 'p' (AddRef).
    explicit TComPtr(T* p) : FPtr(p) { if (FPtr) FPtr->AddRef(); }
    TComPtr(const TComPtr& other) : TComPtr(other.FPtr) {}
    TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    ~TComPtr() { Reset(); }

    TComPtr& operator=(TComPtr other) noexcept {
        std::swap(FPtr, other.FPtr);
        return *this;
    }

    // Adopts a reference the caller already owns (no AddRef).
    static TComPtr Adopt(T* p) {
        TComPtr result;
        result.FPtr = p;
        return result;
    }

    void Reset() {
        if (FPtr) std::exchange(FPtr, nullptr)->Release();
    }
    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }

    // Releases what is held and answers the slot for an out parameter.
    T** Put() {
        Reset();
        return &FPtr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Hands the reference over to the caller.
    T* Detach() { return std::exchange(FPtr, nullptr); }
    // Gives the caller a new reference through an out parameter.
    void CopyTo(T** out) const {
        *out = FPtr;
        if (FPtr) FPtr->AddRef();
    }

    // QueryInterface for another interface; an empty pointer when refused.
    template <typename U>
    HRESULT As(REFIID iid, TComPtr<U>& out) const {
        if (!FPtr) return E_POINTER;
        return FPtr->QueryInterface(iid, out.PutVoid());
    }

private:
    T* FPtr = nullptr;
};

}  // namespace vellomar
