#pragma once
// The names and numbers under which the server and its control class are
// known. The GUIDs themselves come from the type library's declarations.
#include <windows.h>

namespace vellomar::com {

constexpr wchar_t kProgId[] = L"Vellomar.VellomarX";
constexpr wchar_t kClassDescription[] = L"VellomarX Control";
constexpr wchar_t kVerbProperties[] = L"Properties,0,2";

// OLEMISC_ACTSLIKELABEL | OLEMISC_SIMPLEFRAME as the control class asks,
// plus what every control of this kind adds: RECOMPOSEONRESIZE,
// CANTLINKINSIDE, INSIDEOUT, ACTIVATEWHENVISIBLE and SETCLIENTSITEFIRST.
constexpr DWORD kMiscStatusGiven = 0x2000 | 0x10000;
constexpr DWORD kMiscStatusAdded = 0x1 | 0x10 | 0x80 | 0x100 | 0x20000;
constexpr DWORD kMiscStatus = kMiscStatusGiven | kMiscStatusAdded;  // 205201
static_assert(kMiscStatus == 205201, "registered misc status");

// The toolbox picture: BITMAP resource 1.
constexpr int kToolboxBitmapId = 1;

}  // namespace vellomar::com
