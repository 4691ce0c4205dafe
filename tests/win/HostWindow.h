#pragma once
// A top-level window with a child area for hosting the control in the
// tests, and the message pumping that window work needs.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vellomar::testing {

// Handles every message that is waiting on this thread.
void PumpMessages();

// The top-level window that every hosting test shares: the X server takes
// a while to withdraw a destroyed top-level window, so it is made once.
HWND SharedFrame();

class THostWindow {
public:
    // A child window of the shared frame, width × height at its top-left
    // corner, for a container to use. Frame() is the shared frame.
    THostWindow(int width, int height);
    THostWindow(const THostWindow&) = delete;
    THostWindow& operator=(const THostWindow&) = delete;
    ~THostWindow();
    HWND Frame() const { return FFrame; }
    HWND Area() const { return FArea; }
    void Destroy();

private:
    HWND FFrame = nullptr;
    HWND FArea = nullptr;
};

// The pixels of a window as the screen shows them, 32-bit top-down.
struct TCapture {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;  // 0x00RRGGBB
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
    // Writes the capture as a 32-bit BMP file.
    bool SaveBmp(const std::wstring& path) const;
};
TCapture CaptureWindow(HWND window);

// Writes a 24-bit BMP file of width × height whose pixel (x, y) is
// colour(x, y), 0x00RRGGBB.
template <typename Colour>
bool WriteBmp(const std::wstring& path, int width, int height, Colour colour);

}  // namespace vellomar::testing

#include "HostWindow.inl"
