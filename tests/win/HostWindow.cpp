#include "HostWindow.h"

#include "platform/win32/GdiHandles.h"

namespace vellomar::testing {

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {
constexpr wchar_t kFrameClass[] = L"VellomarTestHost";

void RegisterFrameClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kFrameClass, &existing)) return;
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof(frame);
    frame.lpfnWndProc = DefWindowProcW;
    frame.hInstance = GetModuleHandleW(nullptr);
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    frame.lpszClassName = kFrameClass;
    RegisterClassExW(&frame);
}
}  // namespace

HWND SharedFrame() {
    static HWND frame = [] {
        RegisterFrameClass();
        RECT outer{0, 0, 640, 480};
        AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
        HWND window = CreateWindowExW(0, kFrameClass, L"Vellomar host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      20, 20, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        PumpMessages();
        return window;
    }();
    return frame;
}

THostWindow::THostWindow(int width, int height) : FFrame(SharedFrame()) {
    FArea = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                            height, FFrame, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
}

THostWindow::~THostWindow() { Destroy(); }

void THostWindow::Destroy() {
    if (FArea) DestroyWindow(FArea);
    FArea = nullptr;
    PumpMessages();
}

TCapture CaptureWindow(HWND window) {
    TCapture capture;
    RECT client{};
    GetClientRect(window, &client);
    capture.Width = client.right;
    capture.Height = client.bottom;
    if (capture.Width <= 0 || capture.Height <= 0) return capture;
    capture.Pixels.assign(size_t(capture.Width) * size_t(capture.Height), 0);
    TWindowDc source(window);
    TMemoryDc memory(source.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.Width;
    info.bmiHeader.biHeight = -capture.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return capture;
    {
        TSelection selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, capture.Width, capture.Height, source.Get(), 0, 0, SRCCOPY);
        GdiFlush();
        const uint32_t* pixels = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < capture.Pixels.size(); ++i) capture.Pixels[i] = pixels[i] & 0xFFFFFF;
    }
    return capture;
}

bool TCapture::SaveBmp(const std::wstring& path) const {
    return WriteBmp(path, Width, Height, [this](int x, int y) { return At(x, y); });
}

}  // namespace vellomar::testing
