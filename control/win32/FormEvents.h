#pragma once
// The control's events: the connected sink (FEvents) and the eight form
// notifications that raise their events on it. Raising with no sink
// connected does nothing; the sink's answer never matters.
#include <windows.h>
#include <oaidl.h>

#include "platform/win32/ComPtr.h"

namespace vellomar::com {

// The DISPIDs of IVellomarXEvents.
enum TEventId : DISPID {
    kOnActivate = 201,
    kOnClick = 202,
    kOnCreate = 203,
    kOnDblClick = 204,
    kOnDestroy = 205,
    kOnDeactivate = 206,
    kOnKeyPress = 207,
    kOnPaint = 208,
};

class TFormEvents {
public:
    // The sink-change step: stores the sink (wrapped so that its failures
    // stay outside) or clears it for null; the first change that brings a
    // sink raises OnCreate to it.
    void SetSink(IDispatch* sink);
    bool HasSink() const { return bool(FEvents); }

    // Raises an event without parameters by its DISPID.
    void Raise(TEventId id);
    // Raises OnKeyPress with the character widened without sign, passed by
    // reference; answers the character that the form goes on with: the low
    // 8 bits of the value, changed or not by the host.
    char KeyPress(char key);

    void Activate() { Raise(kOnActivate); }
    void Click() { Raise(kOnClick); }
    void DblClick() { Raise(kOnDblClick); }
    void Deactivate() { Raise(kOnDeactivate); }
    void Destroy() { Raise(kOnDestroy); }
    void Paint() { Raise(kOnPaint); }

private:
    TComPtr<IDispatch> FEvents;
    unsigned FSinkChanges = 0;
};

}  // namespace vellomar::com
