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
#include "platform/win32/Win32Services.h"

namespace vellomar::com {

class TVellomarControl final : public IVellomarX,
                               public ISupportErrorInfo,
                               public IProvideClassInfo2,
                               public IConnectionPointContainer {
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

private:
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
};

}  // namespace vellomar::com
