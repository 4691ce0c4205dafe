#pragma once
// The internet client library as the FTP utility sees it: a session, one
// connection to an FTP server, and whole-file operations on it. The Win32
// binding (ftp/win32) passes every call to WinInet; tests use a recording
// fake. Texts are UTF-8; the binding converts them for the library.
#include <cstdint>
#include <memory>
#include <string>

namespace vellomar {

// A handle handed out by the library; nullptr means none.
using TInternetHandleValue = void*;

// The values the FTP utility passes, under the library's own names.
namespace InternetValues {
constexpr uint32_t kOpenTypePreconfig = 0;          // INTERNET_OPEN_TYPE_PRECONFIG
constexpr uint32_t kOpenSynchronous = 0;            // no INTERNET_FLAG_ASYNC
constexpr uint32_t kServiceFtp = 1;                 // INTERNET_SERVICE_FTP
constexpr uint32_t kConnectActiveMode = 0;          // INTERNET_FLAG_PASSIVE not set
constexpr uint32_t kTransferBinary = 2;             // FTP_TRANSFER_TYPE_BINARY
constexpr uint32_t kFlagReload = 0x80000000u;       // INTERNET_FLAG_RELOAD
constexpr uint32_t kFileAttributeNormal = 0x80;     // FILE_ATTRIBUTE_NORMAL
constexpr uintptr_t kContext = 255;
}  // namespace InternetValues

class IInternetSession {
public:
    virtual ~IInternetSession() = default;

    // Opens a session of the library (InternetOpen); nullptr on failure.
    virtual TInternetHandleValue OpenSession(const std::string& agent, uint32_t accessType,
                                             uint32_t flags) = 0;
    // Connects to an FTP server and logs in (InternetConnect); blocks until
    // the server answers or the library gives up; nullptr on failure.
    virtual TInternetHandleValue Connect(TInternetHandleValue session, const std::string& host,
                                         uint16_t port, const std::string& userName,
                                         const std::string& password, uint32_t service,
                                         uint32_t flags, uintptr_t context) = 0;
    // Closes a session or connection handle (InternetCloseHandle).
    virtual bool Close(TInternetHandleValue handle) = 0;

    // Whole-file operations on a connection; each answers its success.
    virtual bool PutFile(TInternetHandleValue connection, const std::string& localPath,
                         const std::string& remotePath, uint32_t flags, uintptr_t context) = 0;
    virtual bool GetFile(TInternetHandleValue connection, const std::string& remotePath,
                         const std::string& localPath, bool failIfExists, uint32_t attributes,
                         uint32_t flags, uintptr_t context) = 0;
    virtual bool DeleteRemoteFile(TInternetHandleValue connection,
                                  const std::string& remotePath) = 0;
    virtual bool CreateRemoteDir(TInternetHandleValue connection,
                                 const std::string& remoteDir) = 0;
};

// The operating system's internet library: WinInet on Windows; elsewhere a
// session whose every call fails, as there is no FTP client there.
std::unique_ptr<IInternetSession> CreateSystemInternetSession();

// Owns one handle and closes it through the session that opened it. The
// session must outlive the handle.
class TInternetHandle {
public:
    TInternetHandle() = default;
    TInternetHandle(IInternetSession& session, TInternetHandleValue value);
    ~TInternetHandle();
    TInternetHandle(TInternetHandle&& other) noexcept;
    TInternetHandle& operator=(TInternetHandle&& other) noexcept;
    TInternetHandle(const TInternetHandle&) = delete;
    TInternetHandle& operator=(const TInternetHandle&) = delete;

    TInternetHandleValue Get() const { return FValue; }
    explicit operator bool() const { return FValue != nullptr; }
    // Closes the handle, ignoring the library's answer and any error.
    void Reset() noexcept;

private:
    IInternetSession* FSession = nullptr;
    TInternetHandleValue FValue = nullptr;
};

}  // namespace vellomar
