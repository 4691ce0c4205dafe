#include "platform/win32/GdiHandles.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Services.h"

namespace vellomar {

std::wstring ModuleFileNameW(HINSTANCE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), DWORD(name.size()));
        if (length == 0) return std::wstring();
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);  // truncated: try a larger buffer
    }
}

std::string TWin32ModuleInfo::ModuleFileName() const { return ToUtf8(ModuleFileNameW(FModule)); }

int TWin32ModuleInfo::ScreenDpiX() const {
    TWindowDc screen(nullptr);
    return screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
}

}  // namespace vellomar
