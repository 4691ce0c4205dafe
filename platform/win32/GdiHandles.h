#pragma once
// Owners for GDI handles and device contexts: every object created is
// deleted, every DC obtained is released, every selection is undone.
#include <windows.h>

#include <utility>

namespace vellomar {

// A GDI object (HBITMAP, HBRUSH, HFONT, HPEN ...) deleted with DeleteObject.
template <typename H>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : FHandle(handle) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    TGdiObject(TGdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.FHandle, nullptr));
        return *this;
    }
    ~TGdiObject() { Reset(); }

    void Reset(H handle = nullptr) {
        if (FHandle) DeleteObject(FHandle);
        FHandle = handle;
    }
    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }

private:
    H FHandle = nullptr;
};

// A memory DC compatible with another DC, deleted with DeleteDC.
class TMemoryDc {
public:
    explicit TMemoryDc(HDC compatibleWith) : FDc(CreateCompatibleDC(compatibleWith)) {}
    TMemoryDc(const TMemoryDc&) = delete;
    TMemoryDc& operator=(const TMemoryDc&) = delete;
    ~TMemoryDc() { if (FDc) DeleteDC(FDc); }
    HDC Get() const { return FDc; }
    explicit operator bool() const { return FDc != nullptr; }

private:
    HDC FDc;
};

// The DC of a window (or of the screen for a null window), from GetDC.
class TWindowDc {
public:
    explicit TWindowDc(HWND window) : FWindow(window), FDc(GetDC(window)) {}
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    ~TWindowDc() { if (FDc) ReleaseDC(FWindow, FDc); }
    HDC Get() const { return FDc; }
    explicit operator bool() const { return FDc != nullptr; }

private:
    HWND FWindow;
    HDC FDc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class TPaintDc {
public:
    explicit TPaintDc(HWND window) : FWindow(window), FDc(BeginPaint(window, &FPaint)) {}
    TPaintDc(const TPaintDc&) = delete;
    TPaintDc& operator=(const TPaintDc&) = delete;
    ~TPaintDc() { EndPaint(FWindow, &FPaint); }
    HDC Get() const { return FDc; }
    const RECT& Area() const { return FPaint.rcPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
    HDC FDc;
};

// Selects an object into a DC and puts the previous one back on destruction.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : FDc(dc), FPrevious(SelectObject(dc, object)) {}
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;
    ~TSelection() { if (FPrevious && FPrevious != HGDI_ERROR) SelectObject(FDc, FPrevious); }

private:
    HDC FDc;
    HGDIOBJ FPrevious;
};

}  // namespace vellomar
