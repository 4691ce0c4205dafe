// The drawing and persistence side of the control object: IViewObject2 for
// containers that draw the control themselves, and the persistence
// interfaces, which keep nothing: the control has no persisted state.
#include "control/win32/ComErrors.h"
#include "control/win32/VellomarControl.h"
#include "platform/win32/GdiHandles.h"
#include "surface/win32/ViewPainter.h"

namespace vellomar::com {

// --- IViewObject2 -----------------------------------------------------------------

HRESULT TVellomarControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                               ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!drawDc || !bounds) return E_INVALIDARG;
    return ComGuard([&] {
        const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
        const TPictureView& view = FForm->imgEn_view;
        if (view.ViewWidth() > 0 && view.ViewHeight() > 0) {
            DrawPictureViewInto(drawDc, area, view);
        } else {
            // Never shown yet: the view's background alone.
            const TColor c = view.Background();
            TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(RedOf(c), GreenOf(c), BlueOf(c))));
            FillRect(drawDc, &area, brush.Get());
        }
        return S_OK;
    });
}

HRESULT TVellomarControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

HRESULT TVellomarControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}

HRESULT TVellomarControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT TVellomarControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    FViewAdvise = TComPtr<IAdviseSink>(sink);
    FViewAdviseAspects = aspects;
    FViewAdviseFlags = flags;
    return S_OK;
}

HRESULT TVellomarControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = FViewAdviseAspects;
    if (flags) *flags = FViewAdviseFlags;
    if (sink) FViewAdvise.CopyTo(sink);
    return S_OK;
}

HRESULT TVellomarControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// --- IPersist, IPersistStreamInit, IPersistPropertyBag ---------------------------

HRESULT TVellomarControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_VellomarX;
    return S_OK;
}

HRESULT TVellomarControl::IsDirty() { return S_FALSE; }
HRESULT TVellomarControl::Load(LPSTREAM stream) { return stream ? S_OK : E_POINTER; }
HRESULT TVellomarControl::Save(LPSTREAM stream, BOOL) { return stream ? S_OK : E_POINTER; }

HRESULT TVellomarControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

HRESULT TVellomarControl::InitNew() { return S_OK; }
HRESULT TVellomarControl::Load(IPropertyBag* bag, IErrorLog*) { return bag ? S_OK : E_POINTER; }
HRESULT TVellomarControl::Save(IPropertyBag* bag, BOOL, BOOL) { return bag ? S_OK : E_POINTER; }

}  // namespace vellomar::com
