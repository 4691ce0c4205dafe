// The demo host: a plain Win32 application that places the control in its
// main window through the ATL control container that Windows ships
// (atl.dll), the way a host application embeds an ActiveX control, and then
// drives it by commands on a sample page.
//   VellomarDemo.exe <picture> [seconds]
// With seconds the window closes by itself after that long (for the scripted
// demo); without, it stays until the user closes it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "Vellomar_TLB.h"
#include "platform/win32/AtlContainer.h"
#include "platform/win32/Bstr.h"
#include "platform/win32/ComPtr.h"

namespace {

using vellomar::TBstr;
using vellomar::TComPtr;

constexpr wchar_t kWindowClass[] = L"VellomarDemoHost";
constexpr UINT_PTR kCloseTimer = 1;

struct TDemo {
    HWND Frame = nullptr;
    HWND Site = nullptr;  // the container's window, filling the frame
    TComPtr<IUnknown> Container, Unknown;
    TComPtr<IVellomarX> Control;
};
TDemo demo;

// Runs one command and tells the console how it ended.
bool Run(const wchar_t* name, const std::wstring& params) {
    TBstr cmd(name), text(params.c_str());
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = demo.Control->Command(cmd.Get(), text.Get(), &ok);
    LONG code = 0;
    demo.Control->get_ErrCode(&code);
    wprintf(L"%-16ls %-48ls -> %ls  ErrCode=%ld\n", name, params.c_str(),
            SUCCEEDED(hr) && ok ? L"true" : L"false", code);
    fflush(stdout);
    return SUCCEEDED(hr) && ok;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (demo.Site) MoveWindow(demo.Site, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_TIMER:
            if (wParam == kCloseTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool CreateFrame(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassW(&wc)) return false;
    demo.Frame = CreateWindowExW(0, kWindowClass, L"Vellomar demo host", WS_OVERLAPPEDWINDOW,
                                 40, 40, 760, 900, nullptr, nullptr, instance, nullptr);
    if (!demo.Frame) return false;
    RECT client{};
    GetClientRect(demo.Frame, &client);
    demo.Site = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                client.right, client.bottom, demo.Frame, nullptr, instance, nullptr);
    return demo.Site != nullptr;
}

void DriveOnSamplePage(const std::wstring& picture) {
    Run(L"EditPicture", L"1");
    Run(L"MarkPicture", L"1");
    Run(L"LoadPicture", L"0,\"" + picture + L"\"");
    Run(L"Correction", L"");
    Run(L"AutoCrop", L"");
    Run(L"FitImage", L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        wprintf(L"usage: VellomarDemo.exe <picture> [seconds]\n");
        return 2;
    }
    const std::wstring picture = argv[1];
    const int seconds = argc > 2 ? _wtoi(argv[2]) : 0;
    LocalFree(argv);

    if (FAILED(OleInitialize(nullptr))) return 1;
    int exitCode = 1;
    {
        if (CreateFrame(instance) &&
            SUCCEEDED(vellomar::AtlContainer().Create(L"Vellomar.VellomarX", demo.Site, demo.Container,
                                                      demo.Unknown)) &&
            SUCCEEDED(demo.Unknown.As(IID_IVellomarX, demo.Control))) {
            ShowWindow(demo.Frame, show);
            UpdateWindow(demo.Frame);
            DriveOnSamplePage(picture);
            if (seconds > 0) SetTimer(demo.Frame, kCloseTimer, UINT(seconds) * 1000, nullptr);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = 0;
        } else {
            wprintf(L"the control could not be hosted (is it registered?)\n");
        }
        demo.Control.Reset();
        demo.Unknown.Reset();
        demo.Container.Reset();
    }
    OleUninitialize();
    return exitCode;
}
