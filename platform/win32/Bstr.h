#pragma once
// An owning automation string, and the conversions between BSTR (UTF-16)
// and the core's UTF-8 texts. A null BSTR counts as the empty text.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace vellomar {

class TBstr {
public:
    TBstr() = default;
    explicit TBstr(const wchar_t* text) : FText(text ? SysAllocString(text) : nullptr) {}
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    TBstr(TBstr&& other) noexcept : FText(std::exchange(other.FText, nullptr)) {}
    TBstr& operator=(TBstr&& other) noexcept {
        if (this != &other) {
            Reset();
            FText = std::exchange(other.FText, nullptr);
        }
        return *this;
    }
    ~TBstr() { Reset(); }

    // Adopts a string the caller owns.
    static TBstr Adopt(BSTR text) {
        TBstr result;
        result.FText = text;
        return result;
    }

    void Reset() {
        if (FText) SysFreeString(std::exchange(FText, nullptr));
    }
    BSTR Get() const { return FText; }
    // Frees what is held and answers the slot for an out parameter.
    BSTR* Put() {
        Reset();
        return &FText;
    }
    BSTR Detach() { return std::exchange(FText, nullptr); }
    UINT Length() const { return FText ? SysStringLen(FText) : 0; }
    std::wstring Wide() const { return std::wstring(FText ? FText : L"", Length()); }

private:
    BSTR FText = nullptr;
};

// UTF-8 text of an automation string; null gives the empty text.
std::string BstrToUtf8(BSTR text);
// A newly allocated automation string for the text; the empty text gives a
// null string. Raises std::bad_alloc when the allocation fails.
BSTR Utf8ToBstr(const std::string& text);

}  // namespace vellomar
