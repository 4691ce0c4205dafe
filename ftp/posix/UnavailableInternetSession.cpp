// Outside Windows there is no FTP client library: the session refuses every
// call, so the utility stays unconnected and every transfer answers false.
#include "ftp/InternetSession.h"

namespace vellomar {
namespace {

class TUnavailableInternetSession final : public IInternetSession {
public:
    TInternetHandleValue OpenSession(const std::string&, uint32_t, uint32_t) override {
        return nullptr;
    }
    TInternetHandleValue Connect(TInternetHandleValue, const std::string&, uint16_t,
                                 const std::string&, const std::string&, uint32_t, uint32_t,
                                 uintptr_t) override {
        return nullptr;
    }
    bool Close(TInternetHandleValue) override { return false; }
    bool PutFile(TInternetHandleValue, const std::string&, const std::string&, uint32_t,
                 uintptr_t) override {
        return false;
    }
    bool GetFile(TInternetHandleValue, const std::string&, const std::string&, bool, uint32_t,
                 uint32_t, uintptr_t) override {
        return false;
    }
    bool DeleteRemoteFile(TInternetHandleValue, const std::string&) override { return false; }
    bool CreateRemoteDir(TInternetHandleValue, const std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<IInternetSession> CreateSystemInternetSession() {
    return std::make_unique<TUnavailableInternetSession>();
}

}  // namespace vellomar
