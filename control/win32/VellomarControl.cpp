#include "control/win32/VellomarControl.h"

#include "control/win32/ComErrors.h"
#include "control/win32/EnumConnectionPoints.h"
#include "platform/VellomarError.h"
#include "platform/win32/Bstr.h"

namespace vellomar::com {

namespace {

const TInterfaceEntry<TVellomarControl> kInterfaces[] = {
    {&IID_IVellomarX, InterfaceOf<TVellomarControl, IVellomarX>},
    {&IID_IDispatch, InterfaceOf<TVellomarControl, IVellomarX>},
    {&IID_ISupportErrorInfo, InterfaceOf<TVellomarControl, ISupportErrorInfo>},
    {&IID_IProvideClassInfo, InterfaceOf<TVellomarControl, IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, InterfaceOf<TVellomarControl, IProvideClassInfo2>},
    {&IID_IConnectionPointContainer, InterfaceOf<TVellomarControl, IConnectionPointContainer>},
    {&IID_IOleObject, InterfaceOf<TVellomarControl, IOleObject>},
    {&IID_IOleWindow, InterfaceOf<TVellomarControl, IOleInPlaceObject>},
    {&IID_IOleInPlaceObject, InterfaceOf<TVellomarControl, IOleInPlaceObject>},
    {&IID_IOleInPlaceActiveObject, InterfaceOf<TVellomarControl, IOleInPlaceActiveObject>},
    {&IID_IOleControl, InterfaceOf<TVellomarControl, IOleControl>},
    {&IID_IViewObject, InterfaceOf<TVellomarControl, IViewObject2>},
    {&IID_IViewObject2, InterfaceOf<TVellomarControl, IViewObject2>},
    {&IID_IPersist, InterfaceOf<TVellomarControl, IPersistStreamInit>},
    {&IID_IPersistStreamInit, InterfaceOf<TVellomarControl, IPersistStreamInit>},
    {&IID_IPersistPropertyBag, InterfaceOf<TVellomarControl, IPersistPropertyBag>},
};

// The size of a new control, in pixels at the screen's resolution.
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;
constexpr int kHimetricPerInch = 2540;

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Enumerated properties take only their declared constants.
void CheckRange(LONG value, LONG highest) {
    if (value < 0 || value > highest) throw EVellomarError("Invalid property value");
}

}  // namespace

HRESULT TVellomarControl::Create(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&] {
        const TModuleTypeInfos* infos = nullptr;
        const HRESULT loaded = ModuleTypeInfos(&infos);
        if (FAILED(loaded)) return loaded;
        TVellomarControl* control = NewComObject<TVellomarControl>(*infos);
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    });
}

TVellomarControl::TVellomarControl(const TModuleTypeInfos& typeInfos)
    : FTypeInfos(typeInfos), FCursors(ModuleInstance()), FModuleInfo(ModuleInstance()) {
    TPlatformServices services;
    services.MessageBox = &FMessageBox;
    services.FontDialog = &FFontDialog;
    services.Cursors = &FCursors;
    services.Module = &FModuleInfo;
    services.UrlFetcher = &FUrlFetcher;
    FForm = std::make_unique<TVellomarX>(services);
    FForm->ActiveFormCreate();
    FFontLink = std::make_unique<TFormFontLink>(FForm->Properties.Font, FModuleInfo.ScreenDpiX());
    FWindow = std::make_unique<TFormWindow>(FForm->imgEn_view, FormNotifications());
    const int dpi = FModuleInfo.ScreenDpiX() > 0 ? FModuleInfo.ScreenDpiX() : 96;
    FExtent = SIZEL{MulDiv(kInitialWidth, kHimetricPerInch, dpi),
                    MulDiv(kInitialHeight, kHimetricPerInch, dpi)};
}

TFormNotifications TVellomarControl::FormNotifications() {
    TFormNotifications notify;
    notify.Activate = [this] { FEvents.Activate(); };
    notify.Deactivate = [this] { FEvents.Deactivate(); };
    notify.Click = [this] { FEvents.Click(); };
    notify.DblClick = [this] { FEvents.DblClick(); };
    notify.Paint = [this] { FEvents.Paint(); };
    notify.KeyPress = [this](char key) { return FEvents.KeyPress(key); };
    return notify;
}

TVellomarControl::~TVellomarControl() {
    // The destruction notification reaches a sink that is still connected;
    // the form and its controller go with the members.
    FWindow->Destroy();
    FEvents.Destroy();
    FEventsPoint.DisconnectAll();
    FPropertyNotifyPoint.DisconnectAll();
}

void TVellomarControl::EventSinkChanged() {
    const std::vector<IUnknown*> sinks = FEventsPoint.Sinks();
    FEvents.SetSink(sinks.empty() ? nullptr : static_cast<IDispatch*>(sinks.front()));
}

// --- IUnknown ------------------------------------------------------------

HRESULT TVellomarControl::QueryInterface(REFIID iid, void** out) {
    return QueryInterfaceTable(this, kInterfaces, iid, out);
}

ULONG TVellomarControl::AddRef() { return FRefs.AddRef(); }

ULONG TVellomarControl::Release() { return ReleaseComObject(this, FRefs.Release()); }

// --- IDispatch, answered from the type library -----------------------------

HRESULT TVellomarControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TVellomarControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    FTypeInfos.DispatchInfo->AddRef();
    *info = FTypeInfos.DispatchInfo;
    return S_OK;
}

HRESULT TVellomarControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return DispGetIDsOfNames(FTypeInfos.DispatchInfo, names, count, ids);
}

HRESULT TVellomarControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    // The vtable side of the dual interface calls our own methods, whose
    // error information the type library turns into the exception record.
    return FTypeInfos.InterfaceInfo->Invoke(static_cast<IVellomarX*>(this), id, flags, params,
                                            result, exception, argError);
}

// --- accessor helpers -----------------------------------------------------

HRESULT TVellomarControl::GetBool(VARIANT_BOOL* out, bool TFormProperties::*field) {
    if (!out) return E_POINTER;
    *out = ToVariantBool(Properties().*field);
    return S_OK;
}

HRESULT TVellomarControl::PutBool(bool TFormProperties::*field, VARIANT_BOOL value) {
    return ComGuard([&] {
        Properties().*field = value != 0;
        return S_OK;
    });
}

HRESULT TVellomarControl::GetLong(LONG* out, int32_t TFormProperties::*field) {
    if (!out) return E_POINTER;
    *out = Properties().*field;
    return S_OK;
}

HRESULT TVellomarControl::PutLong(int32_t TFormProperties::*field, LONG value) {
    return ComGuard([&] {
        Properties().*field = value;
        return S_OK;
    });
}

HRESULT TVellomarControl::GetText(BSTR* out, std::string TFormProperties::*field) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&] {
        *out = Utf8ToBstr(Properties().*field);
        return S_OK;
    });
}

HRESULT TVellomarControl::PutText(std::string TFormProperties::*field, BSTR value) {
    return ComGuard([&] {
        Properties().*field = BstrToUtf8(value);
        return S_OK;
    });
}

// --- IVellomarX: the form properties ------------------------------------------

HRESULT TVellomarControl::get_Visible(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::Visible); }
HRESULT TVellomarControl::put_Visible(VARIANT_BOOL v) {
    const HRESULT hr = PutBool(&TFormProperties::Visible, v);
    if (SUCCEEDED(hr)) FWindow->SetVisible(Properties().Visible);
    return hr;
}
HRESULT TVellomarControl::get_AutoScroll(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::AutoScroll); }
HRESULT TVellomarControl::put_AutoScroll(VARIANT_BOOL v) { return PutBool(&TFormProperties::AutoScroll, v); }
HRESULT TVellomarControl::get_AutoSize(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::AutoSize); }
HRESULT TVellomarControl::put_AutoSize(VARIANT_BOOL v) { return PutBool(&TFormProperties::AutoSize, v); }

HRESULT TVellomarControl::get_AxBorderStyle(TxActiveFormBorderStyle* v) {
    if (!v) return E_POINTER;
    *v = TxActiveFormBorderStyle(Properties().AxBorderStyle);
    return S_OK;
}

HRESULT TVellomarControl::put_AxBorderStyle(TxActiveFormBorderStyle v) {
    return ComGuard([&] {
        CheckRange(v, afbRaised);
        Properties().AxBorderStyle = v;
        FWindow->SetBorder(v);
        return S_OK;
    });
}

HRESULT TVellomarControl::get_Caption(BSTR* v) { return GetText(v, &TFormProperties::Caption); }
HRESULT TVellomarControl::put_Caption(BSTR v) { return PutText(&TFormProperties::Caption, v); }

HRESULT TVellomarControl::get_Color(OLE_COLOR* v) {
    if (!v) return E_POINTER;
    *v = Properties().Color;
    return S_OK;
}

HRESULT TVellomarControl::put_Color(OLE_COLOR v) {
    return ComGuard([&] {
        Properties().Color = v;
        return S_OK;
    });
}

HRESULT TVellomarControl::get_Font(IFontDisp** v) {
    if (!v) return E_POINTER;
    *v = nullptr;
    return ComGuard([&] { return FFontLink->Get(v); });
}

HRESULT TVellomarControl::put_Font(IFontDisp* v) {
    return ComGuard([&] { return FFontLink->Put(v); });
}

HRESULT TVellomarControl::putref_Font(IFontDisp** v) {
    if (!v) return E_POINTER;
    return ComGuard([&] { return FFontLink->Put(*v); });
}

HRESULT TVellomarControl::get_KeyPreview(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::KeyPreview); }
HRESULT TVellomarControl::put_KeyPreview(VARIANT_BOOL v) { return PutBool(&TFormProperties::KeyPreview, v); }
HRESULT TVellomarControl::get_PixelsPerInch(LONG* v) { return GetLong(v, &TFormProperties::PixelsPerInch); }
HRESULT TVellomarControl::put_PixelsPerInch(LONG v) { return PutLong(&TFormProperties::PixelsPerInch, v); }

HRESULT TVellomarControl::get_PrintScale(TxPrintScale* v) {
    if (!v) return E_POINTER;
    *v = TxPrintScale(Properties().PrintScale);
    return S_OK;
}

HRESULT TVellomarControl::put_PrintScale(TxPrintScale v) {
    return ComGuard([&] {
        CheckRange(v, poPrintToFit);
        Properties().PrintScale = v;
        return S_OK;
    });
}

HRESULT TVellomarControl::get_Scaled(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::Scaled); }
HRESULT TVellomarControl::put_Scaled(VARIANT_BOOL v) { return PutBool(&TFormProperties::Scaled, v); }
HRESULT TVellomarControl::get_Active(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::Active); }
HRESULT TVellomarControl::get_DropTarget(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::DropTarget); }
HRESULT TVellomarControl::put_DropTarget(VARIANT_BOOL v) { return PutBool(&TFormProperties::DropTarget, v); }
HRESULT TVellomarControl::get_HelpFile(BSTR* v) { return GetText(v, &TFormProperties::HelpFile); }
HRESULT TVellomarControl::put_HelpFile(BSTR v) { return PutText(&TFormProperties::HelpFile, v); }
HRESULT TVellomarControl::get_ScreenSnap(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::ScreenSnap); }
HRESULT TVellomarControl::put_ScreenSnap(VARIANT_BOOL v) { return PutBool(&TFormProperties::ScreenSnap, v); }
HRESULT TVellomarControl::get_SnapBuffer(LONG* v) { return GetLong(v, &TFormProperties::SnapBuffer); }
HRESULT TVellomarControl::put_SnapBuffer(LONG v) { return PutLong(&TFormProperties::SnapBuffer, v); }
HRESULT TVellomarControl::get_DoubleBuffered(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::DoubleBuffered); }
HRESULT TVellomarControl::put_DoubleBuffered(VARIANT_BOOL v) { return PutBool(&TFormProperties::DoubleBuffered, v); }
HRESULT TVellomarControl::get_AlignDisabled(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::AlignDisabled); }
HRESULT TVellomarControl::get_VisibleDockClientCount(LONG* v) { return GetLong(v, &TFormProperties::VisibleDockClientCount); }
HRESULT TVellomarControl::get_Enabled(VARIANT_BOOL* v) { return GetBool(v, &TFormProperties::Enabled); }
HRESULT TVellomarControl::put_Enabled(VARIANT_BOOL v) {
    const HRESULT hr = PutBool(&TFormProperties::Enabled, v);
    if (SUCCEEDED(hr)) FWindow->SetEnabled(Properties().Enabled);
    return hr;
}

// --- IVellomarX: the command entry ----------------------------------------------

HRESULT TVellomarControl::Command(BSTR cmdName, BSTR cmdParam, VARIANT_BOOL* retValue) {
    if (!retValue) return E_POINTER;
    *retValue = VARIANT_FALSE;
    return ComGuard([&] {
        const bool succeeded = FForm->Command(BstrToUtf8(cmdName), BstrToUtf8(cmdParam));
        *retValue = ToVariantBool(succeeded);
        return S_OK;
    });
}

HRESULT TVellomarControl::get_ErrCode(LONG* value) {
    if (!value) return E_POINTER;
    *value = FForm->ErrCode();
    return S_OK;
}

HRESULT TVellomarControl::get_ErrInfo(BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return ComGuard([&] {
        *value = Utf8ToBstr(FForm->ErrInfo());
        return S_OK;
    });
}

// --- ISupportErrorInfo, IProvideClassInfo2 -----------------------------------

HRESULT TVellomarControl::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IVellomarX) ? S_OK : S_FALSE;
}

HRESULT TVellomarControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    FTypeInfos.ClassInfo->AddRef();
    *info = FTypeInfos.ClassInfo;
    return S_OK;
}

HRESULT TVellomarControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID_IVellomarXEvents;
    return S_OK;
}

// --- IConnectionPointContainer ----------------------------------------------

HRESULT TVellomarControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&] {
        *out = NewComObject<TEnumConnectionPoints>(
            std::vector<IConnectionPoint*>{&FEventsPoint, &FPropertyNotifyPoint});
        return S_OK;
    });
}

HRESULT TVellomarControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    TConnectionPoint* point = nullptr;
    if (IsEqualIID(iid, DIID_IVellomarXEvents)) point = &FEventsPoint;
    if (IsEqualIID(iid, IID_IPropertyNotifySink)) point = &FPropertyNotifyPoint;
    if (!point) return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *out = point;
    return S_OK;
}

}  // namespace vellomar::com
