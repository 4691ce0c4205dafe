#include "control/win32/EventForwarder.h"

namespace vellomar::com {

HRESULT TEventForwarder::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT TEventForwarder::GetTypeInfoCount(UINT* count) { return FSink->GetTypeInfoCount(count); }

HRESULT TEventForwarder::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return FSink->GetTypeInfo(index, lcid, info);
}

HRESULT TEventForwarder::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                       DISPID* ids) {
    return FSink->GetIDsOfNames(iid, names, count, lcid, ids);
}

HRESULT TEventForwarder::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    FSink->Invoke(id, iid, lcid, flags, params, result, exception, argError);
    return S_OK;
}

}  // namespace vellomar::com
