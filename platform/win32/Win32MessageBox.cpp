#include "platform/win32/Win32Services.h"
#include "platform/win32/Utf16.h"

namespace vellomar {

void TWin32MessageBox::Show(const std::string& text, const std::string& caption) {
    const std::wstring wideText = ToUtf16(text);
    const std::wstring wideCaption = ToUtf16(caption);
    MessageBoxW(GetActiveWindow(), wideText.c_str(), wideCaption.c_str(), MB_OK);
}

}  // namespace vellomar
