#pragma once
// The exception barrier of every COM method: an exception never leaves the
// module. An error of the system's type answers its own negative code (or
// E_UNEXPECTED) with its message as the error description; anything else
// answers E_UNEXPECTED with no description. Either way COM error information
// is recorded with the control's ProgID as its source.
#include <windows.h>

#include <new>
#include <string>

#include "platform/VellomarError.h"

namespace vellomar::com {

// Records COM error information for IVellomarX and answers 'result'.
HRESULT ReportComError(HRESULT result, const std::string& description);

template <typename Body>
HRESULT ComGuard(Body&& body) noexcept {
    try {
        return body();
    } catch (const EVellomarError& error) {
        const HRESULT code = error.ComCode() < 0 ? HRESULT(error.ComCode()) : E_UNEXPECTED;
        try {
            return ReportComError(code, error.what());
        } catch (...) {
            return code;
        }
    } catch (...) {
        try {
            return ReportComError(E_UNEXPECTED, std::string());
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
}

}  // namespace vellomar::com
