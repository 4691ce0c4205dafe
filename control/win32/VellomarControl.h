#pragma once
// The COM control object of VellomarX: one per control instance. It owns the
// portable form (TVellomarX) and passes the automation interface IVellomarX
// through to it; IDispatch is answered from the module's type library.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "Vellomar_TLB.h"
#include "control/VellomarImpl.h"
#include "control/win32/ComObject.h"
#include "control/win32/ConnectionPoint.h"
#include "control/win32/FormEvents.h"
#include "control/win32/FormFontLink.h"
#include "control/win32/ModuleTypeLib.h"
#include "platform/win32/WinInetUrlFetcher.h"
#include "surface/win32/FormWindow.h"
#include "platform/win32/Win32Services.h"

namespace vellomar::com {

class TVellomarControl final : public IVellomarX,
                               public ISupportErrorInfo,
                               public IProvideClassInfo2,
                               public IConnectionPointContainer,
                               public IOleObject,
                               public IOleInPlaceObject,
                               public IOleInPlaceActiveObject,
                               public IOleControl,
                               public IViewObject2,
                               public IPersistStreamInit,
                               public IPersistPropertyBag {
public:
    // Creates a control and answers its interface 'iid'.
    static HRESULT Create(REFIID iid, void** out);

    explicit TVellomarControl(const TModuleTypeInfos& typeInfos);
    ~TVellomarControl();
    TVellomarControl(const TVellomarControl&) = delete;
    TVellomarControl& operator=(const TVellomarControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    // IVellomarX: the form properties
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AutoScroll(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AutoScroll(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AutoSize(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AutoSize(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AxBorderStyle(TxActiveFormBorderStyle* value) override;
    HRESULT STDMETHODCALLTYPE put_AxBorderStyle(TxActiveFormBorderStyle value) override;
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Color(OLE_COLOR* value) override;
    HRESULT STDMETHODCALLTYPE put_Color(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp** value) override;
    HRESULT STDMETHODCALLTYPE get_KeyPreview(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_KeyPreview(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_PixelsPerInch(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_PixelsPerInch(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_PrintScale(TxPrintScale* value) override;
    HRESULT STDMETHODCALLTYPE put_PrintScale(TxPrintScale value) override;
    HRESULT STDMETHODCALLTYPE get_Scaled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Scaled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_DropTarget(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_DropTarget(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_HelpFile(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_ScreenSnap(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_ScreenSnap(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_SnapBuffer(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_SnapBuffer(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_DoubleBuffered(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_DoubleBuffered(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AlignDisabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_VisibleDockClientCount(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;

    // IVellomarX: the command entry
    HRESULT STDMETHODCALLTYPE Command(BSTR cmdName, BSTR cmdParam, VARIANT_BOOL* retValue) override;
    HRESULT STDMETHODCALLTYPE get_ErrCode(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_ErrInfo(BSTR* value) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index,
                                     HWND parent, LPCRECT bounds) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                   HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                                   BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                                   ULONG_PTR keepGoingArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                          DVTARGETDEVICE* device, HDC targetDc,
                                          LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                        LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag: nothing is kept
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

private:
    // In-place activation: the form window is made a child of the site's
    // window; UI activation makes it the active object of the frame.
    HRESULT InPlaceActivate(IOleClientSite* site, bool uiActivate);
    TFormNotifications FormNotifications();
    // The event-sink step: the events point's sink changed.
    void EventSinkChanged();
    TFormProperties& Properties() { return FForm->Properties; }
    HRESULT GetBool(VARIANT_BOOL* out, bool TFormProperties::*field);
    HRESULT PutBool(bool TFormProperties::*field, VARIANT_BOOL value);
    HRESULT GetLong(LONG* out, int32_t TFormProperties::*field);
    HRESULT PutLong(int32_t TFormProperties::*field, LONG value);
    HRESULT GetText(BSTR* out, std::string TFormProperties::*field);
    HRESULT PutText(std::string TFormProperties::*field, BSTR value);

    TRefCount FRefs;
    const TModuleTypeInfos& FTypeInfos;
    TWin32MessageBox FMessageBox;
    TWin32FontDialog FFontDialog;
    TWin32CursorTable FCursors;
    TWin32ModuleInfo FModuleInfo;
    TWinInetUrlFetcher FUrlFetcher;
    std::unique_ptr<TVellomarX> FForm;
    std::unique_ptr<TFormFontLink> FFontLink;
    TFormEvents FEvents;
    // One sink for the events; any number of property-change sinks, to
    // which the control sends nothing of its own.
    TConnectionPoint FEventsPoint{*this, DIID_IVellomarXEvents, 1, [this] { EventSinkChanged(); }};
    TConnectionPoint FPropertyNotifyPoint{*this, IID_IPropertyNotifySink, size_t(-1), nullptr};

    // Embedding state. The form window presents FForm's view, so it is
    // declared after FForm and goes first.
    std::unique_ptr<TFormWindow> FWindow;
    TComPtr<IOleClientSite> FClientSite;
    TComPtr<IOleInPlaceSite> FInPlaceSite;
    TComPtr<IOleInPlaceFrame> FFrame;
    TComPtr<IOleInPlaceUIWindow> FDocWindow;
    TComPtr<IOleAdviseHolder> FOleAdvise;
    TComPtr<IAdviseSink> FViewAdvise;
    DWORD FViewAdviseAspects = 0, FViewAdviseFlags = 0;
    SIZEL FExtent{};  // HIMETRIC, as the container set it
    bool FInPlaceActive = false;
    bool FUIActive = false;
};

}  // namespace vellomar::com
