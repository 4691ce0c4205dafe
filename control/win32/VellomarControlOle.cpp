// The embedding side of the control object: IOleObject with in-place
// activation, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl.
// The control shows its form window inside the container's window, sized
// from SetObjectRects, and destroys it on deactivation.
#include "control/win32/ComErrors.h"
#include "control/win32/ServerIdentity.h"
#include "control/win32/VellomarControl.h"

namespace vellomar::com {

namespace {
constexpr wchar_t kObjectName[] = L"VellomarX";
}  // namespace

HRESULT TVellomarControl::InPlaceActivate(IOleClientSite* site, bool uiActivate) {
    if (!FInPlaceActive) {
        IOleClientSite* clientSite = site ? site : FClientSite.Get();
        if (!clientSite) return E_UNEXPECTED;
        TComPtr<IOleInPlaceSite> inPlace;
        if (FAILED(clientSite->QueryInterface(IID_IOleInPlaceSite, inPlace.PutVoid()))) {
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        }
        if (inPlace->CanInPlaceActivate() != S_OK) return OLEOBJ_S_CANNOT_DOVERB_NOW;
        inPlace->OnInPlaceActivate();

        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        if (FAILED(inPlace->GetWindow(&parent)) ||
            FAILED(inPlace->GetWindowContext(FFrame.Put(), FDocWindow.Put(), &position, &clip,
                                             &frameInfo)) ||
            !FWindow->Create(parent, position, Properties().AxBorderStyle, Properties().Visible,
                             Properties().Enabled)) {
            FFrame.Reset();
            FDocWindow.Reset();
            inPlace->OnInPlaceDeactivate();
            return E_FAIL;
        }
        FInPlaceSite = inPlace;
        FInPlaceActive = true;
    }
    if (uiActivate && !FUIActive) {
        FUIActive = true;
        FInPlaceSite->OnUIActivate();
        IOleInPlaceActiveObject* active = this;
        if (FFrame) FFrame->SetActiveObject(active, kObjectName);
        if (FDocWindow) FDocWindow->SetActiveObject(active, kObjectName);
        if (FFrame) FFrame->SetBorderSpace(nullptr);
        SetFocus(FWindow->Handle());
    }
    return S_OK;
}

// --- IOleObject -------------------------------------------------------------

HRESULT TVellomarControl::SetClientSite(IOleClientSite* site) {
    FClientSite = TComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT TVellomarControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    FClientSite.CopyTo(site);
    return S_OK;
}

HRESULT TVellomarControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT TVellomarControl::Close(DWORD) {
    InPlaceDeactivate();
    if (FOleAdvise) FOleAdvise->SendOnClose();
    return S_OK;
}

HRESULT TVellomarControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT TVellomarControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT TVellomarControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT TVellomarControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT TVellomarControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    return ComGuard([&]() -> HRESULT {
        switch (verb) {
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(site, true);
        case OLEIVERB_INPLACEACTIVATE:
            return InPlaceActivate(site, false);
        case OLEIVERB_HIDE:
            UIDeactivate();
            FWindow->SetVisible(false);
            return S_OK;
        case OLEIVERB_PRIMARY:     // "Properties": the control has no property pages
        case OLEIVERB_PROPERTIES:
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

HRESULT TVellomarControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    // The one verb as registered: "Properties,0,2".
    return OleRegEnumVerbs(CLSID_VellomarX, verbs);
}

HRESULT TVellomarControl::Update() { return S_OK; }
HRESULT TVellomarControl::IsUpToDate() { return S_OK; }

HRESULT TVellomarControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_VellomarX;
    return S_OK;
}

HRESULT TVellomarControl::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    return OleRegGetUserType(CLSID_VellomarX, form, type);
}

HRESULT TVellomarControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    FExtent = *size;
    return S_OK;
}

HRESULT TVellomarControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = FExtent;
    return S_OK;
}

HRESULT TVellomarControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    *connection = 0;
    if (!FOleAdvise) {
        const HRESULT hr = CreateOleAdviseHolder(FOleAdvise.Put());
        if (FAILED(hr)) return hr;
    }
    return FOleAdvise->Advise(sink, connection);
}

HRESULT TVellomarControl::Unadvise(DWORD connection) {
    if (!FOleAdvise) return OLE_E_NOCONNECTION;
    return FOleAdvise->Unadvise(connection);
}

HRESULT TVellomarControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!FOleAdvise) return S_OK;
    return FOleAdvise->EnumAdvise(advise);
}

HRESULT TVellomarControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

HRESULT TVellomarControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject ----------------------------------------------

HRESULT TVellomarControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = FWindow->Handle();
    return *window ? S_OK : E_FAIL;
}

HRESULT TVellomarControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT TVellomarControl::InPlaceDeactivate() {
    UIDeactivate();
    if (!FInPlaceActive) return S_OK;
    FInPlaceActive = false;
    FWindow->Destroy();
    FFrame.Reset();
    FDocWindow.Reset();
    TComPtr<IOleInPlaceSite> site = std::move(FInPlaceSite);
    site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT TVellomarControl::UIDeactivate() {
    if (!FUIActive) return S_OK;
    FUIActive = false;
    if (FFrame) FFrame->SetActiveObject(nullptr, nullptr);
    if (FDocWindow) FDocWindow->SetActiveObject(nullptr, nullptr);
    if (FInPlaceSite) FInPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT TVellomarControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    FWindow->SetBounds(*position);
    return S_OK;
}

HRESULT TVellomarControl::ReactivateAndUndo() { return E_NOTIMPL; }

// --- IOleInPlaceActiveObject ----------------------------------------------------

HRESULT TVellomarControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT TVellomarControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT TVellomarControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT TVellomarControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT TVellomarControl::EnableModeless(BOOL) { return S_OK; }

// --- IOleControl ------------------------------------------------------------------

HRESULT TVellomarControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT TVellomarControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT TVellomarControl::OnAmbientPropertyChange(DISPID) { return S_OK; }
HRESULT TVellomarControl::FreezeEvents(BOOL) { return S_OK; }

}  // namespace vellomar::com
