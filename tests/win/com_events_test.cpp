// The control's events: the connection points of the control module, and
// the raising of events on the connected sink.
#include <gtest/gtest.h>

#include "ComTestSupport.h"
#include "RecordingSink.h"
#include "control/win32/FormEvents.h"

namespace vellomar::testing {
namespace {

using com::TFormEvents;

TComPtr<IConnectionPoint> EventsPoint(IVellomarX* control) {
    TComPtr<IConnectionPointContainer> container;
    TComPtr<IConnectionPoint> point;
    EXPECT_EQ(S_OK, control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
    if (container) {
        EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID_IVellomarXEvents, point.Put()));
    }
    return point;
}

class EventConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        FControl = Ocx().CreateControl();
        ASSERT_TRUE(FControl);
        FPoint = EventsPoint(FControl.Get());
        ASSERT_TRUE(FPoint);
    }
    TComPtr<IVellomarX> FControl;
    TComPtr<IConnectionPoint> FPoint;
};

TEST_F(EventConnectionTest, PointsOfTheContainer) {
    TComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, FControl.As(IID_IConnectionPointContainer, container));
    IID iid{};
    EXPECT_EQ(S_OK, FPoint->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(DIID_IVellomarXEvents, iid));
    TComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(S_OK, FPoint->GetConnectionPointContainer(back.Put()));
    EXPECT_EQ(container.Get(), back.Get());

    TComPtr<IConnectionPoint> notify;
    EXPECT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, notify.Put()));
    TComPtr<IConnectionPoint> none;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, none.Put()));
    EXPECT_FALSE(none);

    TComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(points.Put()));
    IConnectionPoint* listed[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, points->Next(3, listed, &fetched));
    ASSERT_EQ(2u, fetched);
    EXPECT_EQ(FPoint.Get(), listed[0]);
    EXPECT_EQ(notify.Get(), listed[1]);
    listed[0]->Release();
    listed[1]->Release();
}

TEST_F(EventConnectionTest, FirstSinkGetsOnCreateOnce) {
    TRecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, FPoint->Advise(&sink, &cookie));
    EXPECT_EQ(1u, cookie);
    ASSERT_EQ(1u, sink.Calls.size());
    EXPECT_EQ(203, sink.Calls[0].Id);
    EXPECT_EQ(DISPATCH_METHOD, sink.Calls[0].Flags);
    EXPECT_EQ(0u, sink.Calls[0].ArgCount);
    EXPECT_EQ(S_OK, FPoint->Unadvise(cookie));
    EXPECT_EQ(1u, sink.References()) << "the control let the sink go";
}

TEST_F(EventConnectionTest, SecondSinkIsRefusedWhileOneIsConnected) {
    TRecordingSink first, second;
    DWORD firstCookie = 0, secondCookie = 77;
    ASSERT_EQ(S_OK, FPoint->Advise(&first, &firstCookie));
    EXPECT_EQ(CONNECT_E_ADVISELIMIT, FPoint->Advise(&second, &secondCookie));
    EXPECT_EQ(0u, secondCookie);
    EXPECT_EQ(1u, second.References());
    EXPECT_TRUE(second.Calls.empty());
    // The first stays connected.
    EXPECT_EQ(S_OK, FPoint->Unadvise(firstCookie));
}

TEST_F(EventConnectionTest, OnCreateReachesOnlyTheFirstSinkEver) {
    TRecordingSink first, second;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, FPoint->Advise(&first, &cookie));
    ASSERT_EQ(S_OK, FPoint->Unadvise(cookie));
    ASSERT_EQ(S_OK, FPoint->Advise(&second, &cookie));
    EXPECT_EQ(1u, cookie) << "the freed slot is used again";
    EXPECT_EQ(1, first.CountOf(203));
    EXPECT_EQ(0, second.CountOf(203));
    EXPECT_EQ(S_OK, FPoint->Unadvise(cookie));
}

TEST_F(EventConnectionTest, UnknownCookiesAreRefused) {
    EXPECT_EQ(CONNECT_E_NOCONNECTION, FPoint->Unadvise(0));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, FPoint->Unadvise(1));
    TRecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, FPoint->Advise(&sink, &cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, FPoint->Unadvise(cookie + 1));
    EXPECT_EQ(S_OK, FPoint->Unadvise(cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, FPoint->Unadvise(cookie));
}

TEST_F(EventConnectionTest, SinkWithoutTheInterfaceIsRefusedWithItsOwnAnswer) {
    TRecordingSink refusing(false, E_NOINTERFACE), denying(false, E_ACCESSDENIED);
    DWORD cookie = 5;
    EXPECT_EQ(E_NOINTERFACE, FPoint->Advise(&refusing, &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(E_ACCESSDENIED, FPoint->Advise(&denying, &cookie));
    // Nothing changed: a proper sink is still the first and gets OnCreate.
    TRecordingSink sink;
    ASSERT_EQ(S_OK, FPoint->Advise(&sink, &cookie));
    EXPECT_EQ(1, sink.CountOf(203));
    EXPECT_EQ(S_OK, FPoint->Unadvise(cookie));
    EXPECT_EQ(1u, refusing.References());
}

TEST_F(EventConnectionTest, NullArgumentsAreRefused) {
    DWORD cookie = 0;
    EXPECT_EQ(E_POINTER, FPoint->Advise(nullptr, &cookie));
    TRecordingSink sink;
    EXPECT_EQ(E_POINTER, FPoint->Advise(&sink, nullptr));
    EXPECT_TRUE(sink.Calls.empty());
}

TEST_F(EventConnectionTest, DestructionReachesAConnectedSink) {
    TRecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, FPoint->Advise(&sink, &cookie));
    FPoint.Reset();
    FControl.Reset();
    EXPECT_EQ(1, sink.CountOf(205));
    EXPECT_EQ(205, sink.Calls.back().Id);
    EXPECT_EQ(1u, sink.References()) << "the destroyed control let the sink go";
}

TEST_F(EventConnectionTest, DisconnectedSinkHearsNothingMore) {
    TRecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, FPoint->Advise(&sink, &cookie));
    ASSERT_EQ(S_OK, FPoint->Unadvise(cookie));
    FPoint.Reset();
    FControl.Reset();
    EXPECT_EQ(0, sink.CountOf(205));
}

TEST_F(EventConnectionTest, PropertyNotifyPointTakesManySinks) {
    struct TNotifySink : IPropertyNotifySink {
        ULONG Refs = 1;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            *out = nullptr;
            if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyNotifySink)) return E_NOINTERFACE;
            *out = this;
            AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
        HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    } a, b, c;
    TComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, FControl.As(IID_IConnectionPointContainer, container));
    TComPtr<IConnectionPoint> notify;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, notify.Put()));
    DWORD ca = 0, cb = 0, cc = 0;
    ASSERT_EQ(S_OK, notify->Advise(&a, &ca));
    ASSERT_EQ(S_OK, notify->Advise(&b, &cb));
    ASSERT_EQ(S_OK, notify->Unadvise(ca));
    ASSERT_EQ(S_OK, notify->Advise(&c, &cc));
    EXPECT_EQ(1u, ca);
    EXPECT_EQ(2u, cb);
    EXPECT_EQ(1u, cc);
    EXPECT_EQ(S_OK, notify->Unadvise(cb));
    EXPECT_EQ(S_OK, notify->Unadvise(cc));
    EXPECT_EQ(1u, a.Refs);
    EXPECT_EQ(1u, b.Refs);
    EXPECT_EQ(1u, c.Refs);
}

// The raising of events itself, on the module's event code.
TEST(FormEvents, RaisingWithoutSinkDoesNothing) {
    TFormEvents events;
    events.Click();
    events.Paint();
    EXPECT_EQ('x', events.KeyPress('x'));
    EXPECT_EQ(char(0xE9), events.KeyPress(char(0xE9)));
}

TEST(FormEvents, EachNotificationRaisesItsEventAsAMethodCall) {
    TRecordingSink sink;
    TFormEvents events;
    events.SetSink(&sink);
    events.Activate();
    events.Click();
    events.DblClick();
    events.Deactivate();
    events.Paint();
    events.Destroy();
    const DISPID expected[] = {203, 201, 202, 204, 206, 208, 205};
    ASSERT_EQ(7u, sink.Calls.size());
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(expected[i], sink.Calls[i].Id);
        EXPECT_EQ(DISPATCH_METHOD, sink.Calls[i].Flags);
        EXPECT_EQ(0u, sink.Calls[i].ArgCount);
    }
    events.SetSink(nullptr);
    events.Click();
    EXPECT_EQ(7u, sink.Calls.size());
}

TEST(FormEvents, KeyPressPassesTheKeyByReferenceAndKeepsItsLowByte) {
    struct TCase { char Pressed; SHORT Received; SHORT Replacement; char GoesOnWith; };
    const TCase cases[] = {
        {'x', 'x', 65, 'A'},
        {'x', 'x', 321, 'A'},                      // $141: only the low 8 bits count
        {char(0xE9), 0xE9, 0xE9, char(0xE9)},      // widened without sign
        {'q', 'q', 0x100, '\0'},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Replacement);
        TRecordingSink sink;
        sink.ReplaceKey = [&](SHORT) { return c.Replacement; };
        TFormEvents events;
        events.SetSink(&sink);
        EXPECT_EQ(c.GoesOnWith, events.KeyPress(c.Pressed));
        ASSERT_EQ(207, sink.Calls.back().Id);
        EXPECT_EQ(VT_I2 | VT_BYREF, sink.Calls.back().FirstArgType);
        EXPECT_EQ(1u, sink.Calls.back().ArgCount);
        EXPECT_EQ(c.Received, sink.Calls.back().Key);
    }
}

TEST(FormEvents, FailingHandlerChangesNothing) {
    TRecordingSink sink;
    sink.Answer = E_FAIL;
    sink.ReplaceKey = [](SHORT) { return SHORT('B'); };
    TFormEvents events;
    events.SetSink(&sink);
    EXPECT_EQ('B', events.KeyPress('a'));
    events.Click();
    EXPECT_EQ(2, sink.CountOf(202) + sink.CountOf(207));
}

TEST(FormEvents, OnCreateOnlyForTheFirstChange) {
    TRecordingSink first, second;
    TFormEvents events;
    events.SetSink(&first);
    events.SetSink(nullptr);
    events.SetSink(&second);
    EXPECT_EQ(1, first.CountOf(203));
    EXPECT_EQ(0, second.CountOf(203));
    events.SetSink(nullptr);
    EXPECT_EQ(1u, first.References());
    EXPECT_EQ(1u, second.References());
}

}  // namespace
}  // namespace vellomar::testing
