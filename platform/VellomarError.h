#pragma once
// The system's one error type. Commands, the picture layer and the platform
// seams raise it; the control's Command entry catches it. It may carry a
// negative COM result code for the automation layer to answer with.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vellomar {

class EVellomarError : public std::runtime_error {
public:
    explicit EVellomarError(const std::string& message, int32_t comCode = 0)
        : std::runtime_error(message), FComCode(comCode) {}
    // A negative HRESULT to answer with, or 0 when the error carries none.
    int32_t ComCode() const { return FComCode; }

private:
    int32_t FComCode;
};

// The platform's silent abort: an error of the system's type that no box
// should make much of ("Operation aborted").
class EAbort : public EVellomarError {
public:
    EAbort() : EVellomarError("Operation aborted") {}
};

}  // namespace vellomar
