#pragma once
// An owning registry key handle.
#include <windows.h>

#include <utility>

namespace vellomar {

class TRegKey {
public:
    TRegKey() = default;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    TRegKey(TRegKey&& other) noexcept : FKey(std::exchange(other.FKey, nullptr)) {}
    TRegKey& operator=(TRegKey&& other) noexcept {
        if (this != &other) {
            Reset();
            FKey = std::exchange(other.FKey, nullptr);
        }
        return *this;
    }
    ~TRegKey() { Reset(); }

    void Reset() {
        if (FKey) RegCloseKey(std::exchange(FKey, nullptr));
    }
    HKEY Get() const { return FKey; }
    HKEY* Put() {
        Reset();
        return &FKey;
    }
    explicit operator bool() const { return FKey != nullptr; }

private:
    HKEY FKey = nullptr;
};

}  // namespace vellomar
