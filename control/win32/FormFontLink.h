#pragma once
// The tie between the form's font (TFormFont, portable) and a standard OLE
// font object handed to the host. The object is made from the form's font
// on first use; a font that the host puts is tied instead, its attributes
// copied into the form's font at once. Later changes made through the tied
// object reach the form's font through the object's property notifications.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "control/VellomarImpl.h"
#include "platform/win32/ComPtr.h"

namespace vellomar::com {

class TFontChangeSink;

class TFormFontLink {
public:
    TFormFontLink(TFormFont& font, int pixelsPerInch);
    TFormFontLink(const TFormFontLink&) = delete;
    TFormFontLink& operator=(const TFormFontLink&) = delete;
    ~TFormFontLink();

    // The tied font object, made from the form's font when there is none.
    HRESULT Get(IFontDisp** out);
    // Ties 'font' and copies its attributes into the form's font.
    HRESULT Put(IFontDisp* font);

    // Copies the tied object's attributes into the form's font.
    void CopyFromObject();

private:
    HRESULT Tie(IFont* font);
    void Untie();

    TFormFont& FFont;
    int FPixelsPerInch;
    TComPtr<IFont> FObject;
    TComPtr<IConnectionPoint> FNotifyPoint;
    TComPtr<TFontChangeSink> FSink;
    DWORD FCookie = 0;
};

}  // namespace vellomar::com
