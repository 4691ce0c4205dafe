#pragma once
// Conversions between the core's UTF-8 texts and the UTF-16 of Windows.
#include <string>

namespace vellomar {

std::wstring ToUtf16(const std::string& utf8);
std::string ToUtf8(const std::wstring& utf16);
std::string ToUtf8(const wchar_t* utf16, size_t length);
// UTF-8 to the process's ANSI code page (for peers that store names in it).
std::string ToAnsi(const std::string& utf8);

}  // namespace vellomar
