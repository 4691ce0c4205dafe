#include "platform/win32/Bstr.h"

#include <new>

#include "platform/win32/Utf16.h"

namespace vellomar {

std::string BstrToUtf8(BSTR text) {
    if (!text) return std::string();
    return ToUtf8(text, SysStringLen(text));
}

BSTR Utf8ToBstr(const std::string& text) {
    if (text.empty()) return nullptr;
    const std::wstring wide = ToUtf16(text);
    BSTR result = SysAllocStringLen(wide.data(), UINT(wide.size()));
    if (!result) throw std::bad_alloc();
    return result;
}

}  // namespace vellomar
