#include "platform/win32/Win32Services.h"

#include <commdlg.h>

namespace vellomar {

void TWin32FontDialog::ShowDefault() {
    LOGFONTW font{};
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = nullptr;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS;
    ChooseFontW(&dialog);
}

}  // namespace vellomar
