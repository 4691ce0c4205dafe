#include "control/win32/FormEvents.h"

#include "control/win32/EventForwarder.h"

namespace vellomar::com {

void TFormEvents::SetSink(IDispatch* sink) {
    if (sink) {
        FEvents = TComPtr<IDispatch>::Adopt(NewComObject<TEventForwarder>(sink));
    } else {
        FEvents.Reset();
    }
    // The creation notification reaches the host once, right after the
    // first sink connects; every change is counted.
    if (FSinkChanges == 0 && sink) Raise(kOnCreate);
    ++FSinkChanges;
}

void TFormEvents::Raise(TEventId id) {
    if (!FEvents) return;
    // Held for the call: a handler may disconnect its own sink.
    TComPtr<IDispatch> events = FEvents;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    events->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                   nullptr);
}

char TFormEvents::KeyPress(char key) {
    SHORT value = SHORT(static_cast<unsigned char>(key));
    if (FEvents) {
        TComPtr<IDispatch> events = FEvents;
        VARIANTARG arg;
        V_VT(&arg) = VT_I2 | VT_BYREF;
        V_I2REF(&arg) = &value;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        events->Invoke(kOnKeyPress, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                       nullptr, nullptr, nullptr);
    }
    return char(value & 0xFF);
}

}  // namespace vellomar::com
