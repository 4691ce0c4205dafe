#include "platform/win32/Utf16.h"

#include <windows.h>

namespace vellomar {

std::wstring ToUtf16(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string ToUtf8(const wchar_t* utf16, size_t length) {
    if (!utf16 || length == 0) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16, int(length), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16, int(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string ToUtf8(const std::wstring& utf16) { return ToUtf8(utf16.data(), utf16.size()); }

std::string ToAnsi(const std::string& utf8) {
    const std::wstring wide = ToUtf16(utf8);
    if (wide.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace vellomar
