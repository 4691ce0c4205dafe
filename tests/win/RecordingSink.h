#pragma once
// An event sink for the tests: records every event call it receives and can
// change the OnKeyPress key or answer with a failure.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <vector>

#include "Vellomar_TLB.h"

namespace vellomar::testing {

struct TEventCall {
    DISPID Id;
    WORD Flags;
    UINT ArgCount;
    VARTYPE FirstArgType;  // VT_EMPTY without arguments
    SHORT Key;             // OnKeyPress: the key as received
};

class TRecordingSink final : public IDispatch {
public:
    // 'offersEvents': whether QueryInterface answers for IVellomarXEvents;
    // 'refusal' is then the answer to that request.
    explicit TRecordingSink(bool offersEvents = true, HRESULT refusal = E_NOINTERFACE)
        : FOffersEvents(offersEvents), FRefusal(refusal) {}

    std::vector<TEventCall> Calls;
    // When set, OnKeyPress writes this value back into the key.
    std::function<SHORT(SHORT)> ReplaceKey;
    // The answer of every Invoke.
    HRESULT Answer = S_OK;

    int CountOf(DISPID id) const {
        int count = 0;
        for (const TEventCall& call : Calls) count += call.Id == id;
        return count;
    }
    ULONG References() const { return FRefs; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, DIID_IVellomarXEvents) && !FOffersEvents) return FRefusal;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID_IVellomarXEvents)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    // Lives on the test's stack: the count is only watched, never frees.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        TEventCall call{id, flags, params ? params->cArgs : 0, VT_EMPTY, 0};
        if (call.ArgCount > 0) {
            VARIANTARG& arg = params->rgvarg[0];
            call.FirstArgType = V_VT(&arg);
            if (V_VT(&arg) == (VT_I2 | VT_BYREF)) {
                call.Key = *V_I2REF(&arg);
                if (ReplaceKey) *V_I2REF(&arg) = ReplaceKey(call.Key);
            }
        }
        Calls.push_back(call);
        return Answer;
    }

private:
    ULONG FRefs = 1;
    bool FOffersEvents;
    HRESULT FRefusal;
};

}  // namespace vellomar::testing
