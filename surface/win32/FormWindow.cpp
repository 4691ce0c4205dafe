#include "surface/win32/FormWindow.h"

#include <windowsx.h>

#include "platform/win32/GdiHandles.h"
#include "platform/win32/Win32Services.h"
#include "surface/win32/ViewPainter.h"

namespace vellomar {

namespace {

constexpr wchar_t kClassName[] = L"VellomarXForm";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// The class is registered once per process, by the module that owns it.
bool RegisterFormClass(HINSTANCE module) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(module, kClassName, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = module;
    windowClass.hCursor = nullptr;  // the view's cursor, set on WM_SETCURSOR
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

void BorderStyles(int border, DWORD& style, DWORD& exStyle) {
    style &= ~DWORD(WS_BORDER);
    exStyle &= ~DWORD(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    switch (border) {
    case TFormWindow::kSingle: style |= WS_BORDER; break;
    case TFormWindow::kSunken: exStyle |= WS_EX_CLIENTEDGE; break;
    case TFormWindow::kRaised: exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE; break;
    default: break;
    }
}

}  // namespace

void UnregisterFormWindowClass() { UnregisterClassW(kClassName, ThisModule()); }

TFormWindow::TFormWindow(TPictureView& view, TFormNotifications notifications)
    : FView(view), FNotify(std::move(notifications)) {
    FView.OnRepaint = [this] {
        if (FWindow) InvalidateRect(FWindow, nullptr, FALSE);
    };
}

TFormWindow::~TFormWindow() {
    Destroy();
    FView.OnRepaint = nullptr;
}

bool TFormWindow::Create(HWND parent, const RECT& bounds, int border, bool visible, bool enabled) {
    if (FWindow) return true;
    const HINSTANCE module = ThisModule();
    if (!RegisterFormClass(module)) return false;
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (visible) style |= WS_VISIBLE;
    if (!enabled) style |= WS_DISABLED;
    BorderStyles(border, style, exStyle);
    HWND window = CreateWindowExW(exStyle, kClassName, L"VellomarX", style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  nullptr, module, nullptr);
    if (!window) return false;
    FWindow = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TFormWindow::WindowProc));
    RECT client{};
    GetClientRect(window, &client);
    OnSize(client.right, client.bottom);
    return true;
}

void TFormWindow::Destroy() {
    if (!FWindow) return;
    HWND window = FWindow;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    FWindow = nullptr;
    DestroyWindow(window);
}

void TFormWindow::SetBounds(const RECT& bounds) {
    if (!FWindow) return;
    MoveWindow(FWindow, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, TRUE);
}

void TFormWindow::SetBorder(int border) {
    if (!FWindow) return;
    DWORD style = DWORD(GetWindowLongW(FWindow, GWL_STYLE));
    DWORD exStyle = DWORD(GetWindowLongW(FWindow, GWL_EXSTYLE));
    BorderStyles(border, style, exStyle);
    SetWindowLongW(FWindow, GWL_STYLE, LONG(style));
    SetWindowLongW(FWindow, GWL_EXSTYLE, LONG(exStyle));
    SetWindowPos(FWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormWindow::SetVisible(bool visible) {
    if (FWindow) ShowWindow(FWindow, visible ? SW_SHOWNA : SW_HIDE);
}

void TFormWindow::SetEnabled(bool enabled) {
    if (FWindow) EnableWindow(FWindow, enabled);
}

LRESULT CALLBACK TFormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TFormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind into the system's message dispatch.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT TFormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(FWindow);
        OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnMouseUp();
        return 0;
    case WM_CAPTURECHANGED:
        FPanning = false;
        FPressed = false;
        return 0;
    case WM_LBUTTONDBLCLK:
        if (FNotify.DblClick) FNotify.DblClick();
        return 0;
    case WM_CHAR:
        return OnChar(wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETFOCUS:
        if (FNotify.Activate) FNotify.Activate();
        return 0;
    case WM_KILLFOCUS:
        if (FNotify.Deactivate) FNotify.Deactivate();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
        break;
    default:
        break;
    }
    return DefWindowProcW(FWindow, message, wParam, lParam);
}

void TFormWindow::OnPaint() {
    TPaintDc dc(FWindow);
    PaintPictureView(dc.Get(), 0, 0, FView);
    if (FNotify.Paint) FNotify.Paint();
}

void TFormWindow::OnSize(int width, int height) {
    FView.SetViewSize(width, height);
    InvalidateRect(FWindow, nullptr, FALSE);
}

void TFormWindow::OnMouseDown(int x, int y) {
    FPressed = true;
    SetCapture(FWindow);
    FDragStart = POINT{x, y};
    FPanning = FView.MouseInteract().Contains(TMouseInteract::miScroll);
    FDragViewX = FView.ViewX();
    FDragViewY = FView.ViewY();
}

void TFormWindow::OnMouseMove(int x, int y) {
    if (!FPanning) return;
    // The picture follows the pointer: moving right shows what lies left.
    FView.SetViewXY(FDragViewX - (x - FDragStart.x), FDragViewY - (y - FDragStart.y));
}

void TFormWindow::OnMouseUp() {
    const bool wasPressed = FPressed;
    FPressed = false;
    FPanning = false;
    if (GetCapture() == FWindow) ReleaseCapture();
    if (wasPressed && FNotify.Click) FNotify.Click();
}

LRESULT TFormWindow::OnChar(WPARAM wParam, LPARAM lParam) {
    // The form works with 8-bit character codes; wider characters pass by.
    if (wParam > 0xFF || !FNotify.KeyPress) return DefWindowProcW(FWindow, WM_CHAR, wParam, lParam);
    const char key = FNotify.KeyPress(char(static_cast<unsigned char>(wParam)));
    return DefWindowProcW(FWindow, WM_CHAR, WPARAM(static_cast<unsigned char>(key)), lParam);
}

bool TFormWindow::OnSetCursor() {
    SetCursor(TWin32CursorTable::CursorFor(FView.Cursor()));
    return true;
}

}  // namespace vellomar
