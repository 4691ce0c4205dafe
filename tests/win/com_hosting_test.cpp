// The control hosted in place by a container nobody here wrote: Wine's ATL
// (atl.dll, AtlAxWinInit / AtlAxCreateControlEx) in a window on the test
// display. The control is created by ProgID, so the test session must have
// registered it.
#include <gtest/gtest.h>

#include "ComTestSupport.h"
#include "HostWindow.h"
#include "RecordingSink.h"
#include "platform/win32/AtlContainer.h"

namespace vellomar::testing {
namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

class HostingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AtlContainer().Usable());
        ASSERT_EQ(S_OK, AtlContainer().Create(L"Vellomar.VellomarX", FHost.Area(), FContainer, FUnknown));
        ASSERT_TRUE(FUnknown);
        ASSERT_EQ(S_OK, FUnknown.As(IID_IVellomarX, FControl));
        TComPtr<IOleWindow> window;
        ASSERT_EQ(S_OK, FUnknown.As(IID_IOleWindow, window));
        ASSERT_EQ(S_OK, window->GetWindow(&FForm));
        PumpMessages();
    }
    void TearDown() override {
        Disconnect();
        FControl.Reset();
        FUnknown.Reset();
        FContainer.Reset();
        FHost.Destroy();
    }
    void Connect(TRecordingSink& sink) {
        TComPtr<IConnectionPointContainer> points;
        ASSERT_EQ(S_OK, FUnknown.As(IID_IConnectionPointContainer, points));
        ASSERT_EQ(S_OK, points->FindConnectionPoint(DIID_IVellomarXEvents, FPoint.Put()));
        ASSERT_EQ(S_OK, FPoint->Advise(&sink, &FCookie));
    }
    void Disconnect() {
        if (FPoint && FCookie) FPoint->Unadvise(FCookie);
        FPoint.Reset();
        FCookie = 0;
    }
    // A picture of two halves, red left and blue right, loaded as a file.
    void LoadHalves(int width, int height) {
        const std::wstring path = TestOutputFolder() + L"hosting-halves.bmp";
        ASSERT_TRUE(WriteBmp(path, width, height, [width](int x, int) { return x < width / 2 ? kRed : kBlue; }));
        const std::wstring params = L"0,\"" + path + L"\"";
        ASSERT_TRUE(RunCommand(FControl.Get(), L"LoadPicture", params.c_str())) << ErrInfoOf(FControl.Get());
    }
    TCapture Shown() {
        InvalidateRect(FForm, nullptr, FALSE);
        UpdateWindow(FForm);
        PumpMessages();
        return CaptureWindow(FForm);
    }

    TRecordingSink FSink;  // outlives the control's hold on it
    THostWindow FHost{300, 200};
    TComPtr<IUnknown> FContainer, FUnknown;
    TComPtr<IVellomarX> FControl;
    HWND FForm = nullptr;
    TComPtr<IConnectionPoint> FPoint;
    DWORD FCookie = 0;
};

TEST_F(HostingTest, FormWindowSitsInTheContainersWindow) {
    ASSERT_TRUE(IsWindow(FForm));
    EXPECT_EQ(FHost.Area(), GetParent(FForm));
    EXPECT_TRUE(IsWindowVisible(FForm));
    RECT form{}, area{};
    GetWindowRect(FForm, &form);
    GetClientRect(FHost.Area(), &area);
    EXPECT_EQ(area.right, form.right - form.left);
    EXPECT_EQ(area.bottom, form.bottom - form.top);
}

TEST_F(HostingTest, PaintsTheLoadedPictureAndSavesAScreenshot) {
    LoadHalves(120, 80);
    const TCapture shown = Shown();
    ASSERT_GT(shown.Width, 0);
    EXPECT_TRUE(shown.SaveBmp(TestOutputFolder() + L"hosted-control.bmp"));
    // The host's window around it, as the display shows it.
    EXPECT_TRUE(CaptureWindow(FHost.Frame()).SaveBmp(TestOutputFolder() + L"hosted-control-frame.bmp"));
    // The picture is fitted into the view and centred.
    const int cx = shown.Width / 2, cy = shown.Height / 2;
    EXPECT_EQ(kRed, shown.At(cx - 20, cy));
    EXPECT_EQ(kBlue, shown.At(cx + 20, cy));
}

TEST_F(HostingTest, ResizesWithTheObjectRects) {
    TComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IOleInPlaceObject, inPlace));
    MoveWindow(FHost.Area(), 0, 0, 260, 150, TRUE);
    const RECT position{10, 5, 250, 145};
    ASSERT_EQ(S_OK, inPlace->SetObjectRects(&position, &position));
    PumpMessages();
    RECT client{};
    GetClientRect(FForm, &client);
    RECT outer{};
    GetWindowRect(FForm, &outer);
    EXPECT_EQ(240, outer.right - outer.left);
    EXPECT_EQ(140, outer.bottom - outer.top);
    // The view follows the window's client size: a loaded picture is fitted
    // into it and centred.
    LoadHalves(100, 100);
    const TCapture shown = Shown();
    EXPECT_EQ(client.right, shown.Width);
    EXPECT_EQ(kRed, shown.At(shown.Width / 2 - 10, shown.Height / 2));
    EXPECT_EQ(kBlue, shown.At(shown.Width / 2 + 10, shown.Height / 2));
}

TEST_F(HostingTest, FormNotificationsReachTheConnectedSink) {
    TRecordingSink& sink = FSink;
    Connect(sink);
    EXPECT_EQ(1, sink.CountOf(203)) << "OnCreate when the first sink connects";

    SendMessageW(FForm, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(FForm, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1, sink.CountOf(202));
    SendMessageW(FForm, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(1, sink.CountOf(204));

    sink.ReplaceKey = [](SHORT) { return SHORT(321); };
    SendMessageW(FForm, WM_CHAR, 'x', 1);
    ASSERT_EQ(1, sink.CountOf(207));
    EXPECT_EQ('x', sink.Calls.back().Key);
    EXPECT_EQ(VT_I2 | VT_BYREF, sink.Calls.back().FirstArgType);

    Shown();
    EXPECT_GE(sink.CountOf(208), 1) << "OnPaint";

    SetFocus(FHost.Area());
    SetFocus(FForm);
    PumpMessages();
    EXPECT_GE(sink.CountOf(201), 1) << "OnActivate";
    SetFocus(FHost.Area());
    PumpMessages();
    EXPECT_GE(sink.CountOf(206), 1) << "OnDeactivate";
}

TEST_F(HostingTest, DraggingPansThePictureWhileScrollingIsArmed) {
    MoveWindow(FHost.Area(), 0, 0, 300, 200, TRUE);
    const RECT position{0, 0, 300, 200};
    TComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IOleInPlaceObject, inPlace));
    ASSERT_EQ(S_OK, inPlace->SetObjectRects(&position, &position));
    // Loading arms the scroll mode; at 100 % the picture is wider than the
    // view, centred on the border between its halves.
    LoadHalves(600, 200);
    ASSERT_TRUE(RunCommand(FControl.Get(), L"AutoStretch", L""));
    TCapture before = Shown();
    const int x = before.Width / 2 + 20, y = before.Height / 2;
    EXPECT_EQ(kBlue, before.At(x, y));

    SendMessageW(FForm, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(FForm, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 100));
    SendMessageW(FForm, WM_LBUTTONUP, 0, MAKELPARAM(200, 100));
    TCapture after = Shown();
    EXPECT_EQ(kRed, after.At(x, y)) << "the picture moved right with the pointer";
}

TEST_F(HostingTest, ShowsTheCursorOfTheToolMode) {
    // A new control is in tmNone (the arrow); a load arms tmScroll (the
    // four-way arrow).
    SendMessageW(FForm, WM_SETCURSOR, WPARAM(FForm), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
    LoadHalves(40, 40);
    SendMessageW(FForm, WM_SETCURSOR, WPARAM(FForm), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEALL), GetCursor());
}

TEST_F(HostingTest, ViewDrawsIntoAnotherDeviceContext) {
    LoadHalves(120, 80);
    Shown();
    TComPtr<IViewObject2> view;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IViewObject2, view));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 60);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const RECTL bounds{0, 0, 100, 60};
    EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds,
                               nullptr, nullptr, 0));
    const COLORREF left = GetPixel(memory, 40, 30), right = GetPixel(memory, 60, 30);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(RGB(255, 0, 0), left);
    EXPECT_EQ(RGB(0, 0, 255), right);
}

TEST_F(HostingTest, OleObjectAnswersOfTheControl) {
    TComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IOleObject, object));
    DWORD status = 0;
    EXPECT_EQ(S_OK, object->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(205201u, status);
    SIZEL extent{1234, 567}, read{};
    EXPECT_EQ(S_OK, object->SetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &read));
    EXPECT_EQ(1234, read.cx);
    EXPECT_EQ(567, read.cy);
    CLSID clsid{};
    EXPECT_EQ(S_OK, object->GetUserClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_VellomarX, clsid));

    TComPtr<IEnumOLEVERB> verbs;
    ASSERT_EQ(S_OK, object->EnumVerbs(verbs.Put()));
    OLEVERB verb{};
    ULONG fetched = 0;
    ASSERT_EQ(S_OK, verbs->Next(1, &verb, &fetched));
    EXPECT_EQ(0, verb.lVerb);
    EXPECT_EQ(L"Properties", TBstr(verb.lpszVerbName).Wide());
    EXPECT_EQ(DWORD(OLEVERBATTRIB_ONCONTAINERMENU), verb.grfAttribs);
    CoTaskMemFree(verb.lpszVerbName);
    EXPECT_EQ(S_FALSE, verbs->Next(1, &verb, &fetched));

    TComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IPersistStreamInit, persist));
    EXPECT_EQ(S_OK, persist->InitNew());
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    TComPtr<IPersistPropertyBag> bag;
    EXPECT_EQ(S_OK, FUnknown.As(IID_IPersistPropertyBag, bag));
}

TEST_F(HostingTest, ClosingDestroysTheFormWindow) {
    TRecordingSink& sink = FSink;
    Connect(sink);
    TComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, FUnknown.As(IID_IOleObject, object));
    object.Reset();
    // The container goes with its window and releases the control.
    FContainer.Reset();
    FHost.Destroy();
    EXPECT_FALSE(IsWindow(FForm));
    FControl.Reset();
    Disconnect();
    FUnknown.Reset();
    EXPECT_EQ(0, sink.CountOf(205)) << "disconnected before the control went";
}

TEST_F(HostingTest, DestroyedControlTellsAConnectedSink) {
    TRecordingSink& sink = FSink;
    Connect(sink);
    FPoint.Reset();
    FCookie = 0;  // stays connected
    FControl.Reset();
    FUnknown.Reset();
    FContainer.Reset();
    FHost.Destroy();
    EXPECT_FALSE(IsWindow(FForm));
    EXPECT_EQ(1, sink.CountOf(205));
    EXPECT_EQ(1u, sink.References());
}

}  // namespace
}  // namespace vellomar::testing
