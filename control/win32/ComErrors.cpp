#include "control/win32/ComErrors.h"

#include <oleauto.h>

#include "Vellomar_TLB.h"
#include "control/win32/ServerIdentity.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/Utf16.h"

namespace vellomar::com {

HRESULT ReportComError(HRESULT result, const std::string& description) {
    TComPtr<ICreateErrorInfo> info;
    if (FAILED(CreateErrorInfo(info.Put()))) return result;
    info->SetGUID(IID_IVellomarX);
    info->SetSource(const_cast<LPOLESTR>(kProgId));
    if (!description.empty()) {
        std::wstring wide = ToUtf16(description);
        info->SetDescription(wide.data());
    }
    TComPtr<IErrorInfo> errorInfo;
    if (SUCCEEDED(info.As(IID_IErrorInfo, errorInfo))) SetErrorInfo(0, errorInfo.Get());
    return result;
}

}  // namespace vellomar::com
