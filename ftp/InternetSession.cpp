#include "ftp/InternetSession.h"

#include <utility>

namespace vellomar {

TInternetHandle::TInternetHandle(IInternetSession& session, TInternetHandleValue value)
    : FSession(value ? &session : nullptr), FValue(value) {}

TInternetHandle::~TInternetHandle() { Reset(); }

TInternetHandle::TInternetHandle(TInternetHandle&& other) noexcept
    : FSession(std::exchange(other.FSession, nullptr)),
      FValue(std::exchange(other.FValue, nullptr)) {}

TInternetHandle& TInternetHandle::operator=(TInternetHandle&& other) noexcept {
    if (this != &other) {
        Reset();
        FSession = std::exchange(other.FSession, nullptr);
        FValue = std::exchange(other.FValue, nullptr);
    }
    return *this;
}

void TInternetHandle::Reset() noexcept {
    IInternetSession* session = std::exchange(FSession, nullptr);
    TInternetHandleValue value = std::exchange(FValue, nullptr);
    if (!session) return;
    try {
        session->Close(value);
    } catch (...) {
        // A handle that cannot be closed is forgotten: nothing else can be done.
    }
}

}  // namespace vellomar
