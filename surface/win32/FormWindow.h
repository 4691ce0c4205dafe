#pragma once
// The control's form as a Win32 child window: it presents the picture view
// model, tells the model its size, pans the picture while the scroll
// interaction is armed, shows the view's cursor and turns window messages
// into the form's notifications.
#include <windows.h>

#include <functional>

#include "picture/PictureView.h"

namespace vellomar {

// What the form tells its owner; unset members are not called.
struct TFormNotifications {
    std::function<void()> Click, DblClick, Paint, Activate, Deactivate;
    // The character typed; answers the character the form goes on with.
    std::function<char(char)> KeyPress;
};

class TFormWindow {
public:
    // Border looks of the form, by the values of TxActiveFormBorderStyle.
    enum TBorder { kNone = 0, kSingle = 1, kSunken = 2, kRaised = 3 };

    TFormWindow(TPictureView& view, TFormNotifications notifications);
    TFormWindow(const TFormWindow&) = delete;
    TFormWindow& operator=(const TFormWindow&) = delete;
    ~TFormWindow();

    // Creates the window as a child of 'parent' at 'bounds' (parent client
    // coordinates); false when the window cannot be made.
    bool Create(HWND parent, const RECT& bounds, int border, bool visible, bool enabled);
    void Destroy();
    HWND Handle() const { return FWindow; }

    void SetBounds(const RECT& bounds);
    void SetBorder(int border);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnSize(int width, int height);
    void OnMouseDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseUp();
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    bool OnSetCursor();

    TPictureView& FView;
    TFormNotifications FNotify;
    HWND FWindow = nullptr;
    // A drag that pans the picture: where it started, in view and picture.
    bool FPanning = false;
    bool FPressed = false;
    POINT FDragStart{};
    int FDragViewX = 0, FDragViewY = 0;
};

// Unregisters the window class of the form (module unload).
void UnregisterFormWindowClass();

}  // namespace vellomar
