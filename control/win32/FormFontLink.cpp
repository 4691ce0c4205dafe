#include "control/win32/FormFontLink.h"

#include "control/win32/ComObject.h"
#include "platform/win32/Bstr.h"
#include "platform/win32/Utf16.h"

namespace vellomar::com {

// Listens to the tied font object's property changes.
class TFontChangeSink final : public IPropertyNotifySink {
public:
    explicit TFontChangeSink(TFormFontLink* link) : FLink(link) {}
    void Detach() { FLink = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyNotifySink)) {
            return E_NOINTERFACE;
        }
        *out = static_cast<IPropertyNotifySink*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return FRefs.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseComObject(this, FRefs.Release()); }

    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override {
        try {
            if (FLink) FLink->CopyFromObject();
        } catch (...) {
            // The form keeps the attributes it had; the font object is the host's.
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

private:
    TRefCount FRefs;
    TFormFontLink* FLink;
};

namespace {

constexpr SHORT kWeightNormal = 400;
constexpr SHORT kWeightBold = 700;
constexpr LONGLONG kCurrencyScale = 10000;  // CY holds points times 10000

}  // namespace

TFormFontLink::TFormFontLink(TFormFont& font, int pixelsPerInch)
    : FFont(font), FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {}

TFormFontLink::~TFormFontLink() { Untie(); }

HRESULT TFormFontLink::Get(IFontDisp** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!FObject) {
        std::wstring name = ToUtf16(FFont.Name);
        FONTDESC description{};
        description.cbSizeofstruct = sizeof(description);
        description.lpstrName = name.data();
        description.cySize.int64 = LONGLONG(FFont.Size) * kCurrencyScale;
        description.sWeight = FFont.Bold ? kWeightBold : kWeightNormal;
        description.sCharset = SHORT(FFont.Charset);
        description.fItalic = FFont.Italic;
        description.fUnderline = FFont.Underline;
        description.fStrikethrough = FFont.StrikeOut;
        TComPtr<IFont> font;
        HRESULT hr = OleCreateFontIndirect(&description, IID_IFont, font.PutVoid());
        if (FAILED(hr)) return hr;
        hr = Tie(font.Get());
        if (FAILED(hr)) return hr;
    }
    return FObject->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(out));
}

HRESULT TFormFontLink::Put(IFontDisp* font) {
    if (!font) return E_POINTER;
    TComPtr<IFont> object;
    HRESULT hr = font->QueryInterface(IID_IFont, object.PutVoid());
    if (FAILED(hr)) return hr;
    hr = Tie(object.Get());
    if (FAILED(hr)) return hr;
    CopyFromObject();
    return S_OK;
}

void TFormFontLink::CopyFromObject() {
    if (!FObject) return;
    TBstr name;
    CY size{};
    BOOL bold = FALSE, italic = FALSE, underline = FALSE, strikeOut = FALSE;
    SHORT charset = 0;
    if (SUCCEEDED(FObject->get_Name(name.Put()))) FFont.Name = BstrToUtf8(name.Get());
    if (SUCCEEDED(FObject->get_Size(&size))) {
        FFont.Size = int(size.int64 / kCurrencyScale);
        FFont.Height = -MulDiv(FFont.Size, FPixelsPerInch, 72);
    }
    if (SUCCEEDED(FObject->get_Bold(&bold))) FFont.Bold = bold != FALSE;
    if (SUCCEEDED(FObject->get_Italic(&italic))) FFont.Italic = italic != FALSE;
    if (SUCCEEDED(FObject->get_Underline(&underline))) FFont.Underline = underline != FALSE;
    if (SUCCEEDED(FObject->get_Strikethrough(&strikeOut))) FFont.StrikeOut = strikeOut != FALSE;
    if (SUCCEEDED(FObject->get_Charset(&charset))) FFont.Charset = charset;
}

HRESULT TFormFontLink::Tie(IFont* font) {
    if (font == FObject.Get()) return S_OK;
    Untie();
    FObject = TComPtr<IFont>(font);
    // Without notifications the font is still tied; its later changes are
    // then only seen by the next put.
    TComPtr<IConnectionPointContainer> container;
    if (FAILED(FObject.As(IID_IConnectionPointContainer, container))) return S_OK;
    if (FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, FNotifyPoint.Put()))) {
        return S_OK;
    }
    FSink = TComPtr<TFontChangeSink>::Adopt(NewComObject<TFontChangeSink>(this));
    if (FAILED(FNotifyPoint->Advise(FSink.Get(), &FCookie))) {
        FNotifyPoint.Reset();
        FCookie = 0;
    }
    return S_OK;
}

void TFormFontLink::Untie() {
    if (FNotifyPoint && FCookie) FNotifyPoint->Unadvise(FCookie);
    if (FSink) FSink->Detach();
    FSink.Reset();
    FNotifyPoint.Reset();
    FCookie = 0;
    FObject.Reset();
}

}  // namespace vellomar::com
