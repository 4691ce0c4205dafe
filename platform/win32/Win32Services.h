#pragma once
// The Win32 implementations of the platform seams that the control uses.
// 'module' is the library module that contains the control (not the host's
// executable): its file name and its cursor resources are meant.
#include <windows.h>

#include "platform/Services.h"

namespace vellomar {

// MessageBoxW owned by the calling thread's active window.
class TWin32MessageBox final : public IMessageBox {
public:
    void Show(const std::string& text, const std::string& caption) override;
};

// ChooseFontW with no owner, starting from an empty font description.
class TWin32FontDialog final : public IFontDialog {
public:
    void ShowDefault() override;
};

// The process-wide table of cursors by cursor id. Every instance shares one
// table; loaded cursor resources are shared handles that need no freeing.
class TWin32CursorTable final : public ICursorTable {
public:
    explicit TWin32CursorTable(HINSTANCE module) : FModule(module) {}
    void RegisterFromModule(int id, const std::string& resourceName) override;

    // The cursor shown for an id: a registered one, else the system cursor of
    // a standard id, else the default arrow.
    static HCURSOR CursorFor(int id);

private:
    HINSTANCE FModule;
};

class TWin32ModuleInfo final : public IModuleInfo {
public:
    explicit TWin32ModuleInfo(HINSTANCE module) : FModule(module) {}
    std::string ModuleFileName() const override;
    int ScreenDpiX() const override;

private:
    HINSTANCE FModule;
};

// The full file name of a module, however long.
std::wstring ModuleFileNameW(HINSTANCE module);

}  // namespace vellomar
