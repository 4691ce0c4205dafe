#pragma once
// An owning VARIANT, cleared on destruction.
#include <windows.h>
#include <oleauto.h>

namespace vellomar {

class TVariant {
public:
    TVariant() { VariantInit(&FValue); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    ~TVariant() { VariantClear(&FValue); }

    VARIANT* operator&() { return &FValue; }
    VARIANT& Get() { return FValue; }
    const VARIANT& Get() const { return FValue; }
    VARTYPE Type() const { return V_VT(&FValue); }
    void Clear() { VariantClear(&FValue); }

private:
    VARIANT FValue;
};

}  // namespace vellomar
