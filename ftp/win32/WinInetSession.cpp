// The internet session over WinInet. Every call is the ANSI form, so the FTP
// server receives remote paths, host, user name and password in the
// process's ANSI code page, the way files on those servers are named.
//
// Texts arrive as UTF-8 and go through UTF-16 to the ANSI code page; a text
// that the code page cannot represent fails its call rather than reach the
// server with replacement characters. Local paths are not limited that way:
// a path outside the code page is handed to WinInet as its short (8.3) alias,
// which the file system keeps in plain ASCII.
#include <windows.h>
#include <wininet.h>

#include <string>

#include "ftp/InternetSession.h"

namespace vellomar {
namespace {

static_assert(InternetValues::kOpenTypePreconfig == INTERNET_OPEN_TYPE_PRECONFIG);
static_assert(InternetValues::kServiceFtp == INTERNET_SERVICE_FTP);
static_assert(InternetValues::kTransferBinary == FTP_TRANSFER_TYPE_BINARY);
static_assert(InternetValues::kFlagReload == INTERNET_FLAG_RELOAD);
static_assert(InternetValues::kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert((InternetValues::kConnectActiveMode & INTERNET_FLAG_PASSIVE) == 0);

bool Utf8ToWide(const std::string& text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) return true;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           int(text.size()), nullptr, 0);
    if (length <= 0) return false;
    wide.resize(size_t(length));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                               &wide[0], length) == length;
}

// True when every character of 'wide' has an exact form in the ANSI code page.
bool WideToAnsi(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty()) return true;
    const UINT codePage = GetACP();
    // A UTF-8 ANSI code page represents everything and takes neither flag.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr,
                                           0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault) return false;
    ansi.resize(size_t(length));
    return WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), &ansi[0], length,
                               nullptr, usedDefaultOut) == length &&
           !usedDefault;
}

bool Utf8ToAnsi(const std::string& text, std::string& ansi) {
    std::wstring wide;
    return Utf8ToWide(text, wide) && WideToAnsi(wide, ansi);
}

bool ShortPathOf(const std::wstring& path, std::wstring& shortPath) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return false;
    shortPath.assign(length, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), &shortPath[0], length);
    if (written == 0 || written >= length) return false;
    shortPath.resize(written);
    return true;
}

// A local path for the ANSI calls. When the path has no ANSI form, its short
// alias is used; a file that does not exist yet (a download target) is
// created empty first so that it has one, and 'created' says so.
bool LocalPathForAnsiCall(const std::string& utf8Path, bool mayCreate, std::string& ansi,
                          std::wstring& created) {
    created.clear();
    std::wstring wide;
    if (!Utf8ToWide(utf8Path, wide)) return false;
    if (WideToAnsi(wide, ansi)) return true;

    std::wstring shortPath;
    if (!ShortPathOf(wide, shortPath) && mayCreate) {
        HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        created = wide;
        if (!ShortPathOf(wide, shortPath)) shortPath.clear();
    }
    if (!shortPath.empty() && WideToAnsi(shortPath, ansi)) return true;
    if (!created.empty()) DeleteFileW(created.c_str());
    created.clear();
    return false;
}

HINTERNET AsHandle(TInternetHandleValue value) { return static_cast<HINTERNET>(value); }

class TWinInetSession final : public IInternetSession {
public:
    TInternetHandleValue OpenSession(const std::string& agent, uint32_t accessType,
                                     uint32_t flags) override {
        std::string ansiAgent;
        if (!Utf8ToAnsi(agent, ansiAgent)) return nullptr;
        return InternetOpenA(ansiAgent.c_str(), accessType, nullptr, nullptr, flags);
    }

    TInternetHandleValue Connect(TInternetHandleValue session, const std::string& host,
                                 uint16_t port, const std::string& userName,
                                 const std::string& password, uint32_t service, uint32_t flags,
                                 uintptr_t context) override {
        std::string ansiHost, ansiUser, ansiPassword;
        if (!Utf8ToAnsi(host, ansiHost) || !Utf8ToAnsi(userName, ansiUser) ||
            !Utf8ToAnsi(password, ansiPassword)) {
            return nullptr;
        }
        return InternetConnectA(AsHandle(session), ansiHost.c_str(), port, ansiUser.c_str(),
                                ansiPassword.c_str(), service, flags, context);
    }

    bool Close(TInternetHandleValue handle) override {
        return InternetCloseHandle(AsHandle(handle)) != FALSE;
    }

    bool PutFile(TInternetHandleValue connection, const std::string& localPath,
                 const std::string& remotePath, uint32_t flags, uintptr_t context) override {
        std::string ansiLocal, ansiRemote;
        std::wstring created;
        if (!Utf8ToAnsi(remotePath, ansiRemote) ||
            !LocalPathForAnsiCall(localPath, /*mayCreate=*/false, ansiLocal, created)) {
            return false;
        }
        return FtpPutFileA(AsHandle(connection), ansiLocal.c_str(), ansiRemote.c_str(), flags,
                           context) != FALSE;
    }

    bool GetFile(TInternetHandleValue connection, const std::string& remotePath,
                 const std::string& localPath, bool failIfExists, uint32_t attributes,
                 uint32_t flags, uintptr_t context) override {
        std::string ansiLocal, ansiRemote;
        std::wstring created;
        if (!Utf8ToAnsi(remotePath, ansiRemote) ||
            !LocalPathForAnsiCall(localPath, /*mayCreate=*/!failIfExists, ansiLocal, created)) {
            return false;
        }
        const bool got = FtpGetFileA(AsHandle(connection), ansiRemote.c_str(), ansiLocal.c_str(),
                                     failIfExists ? TRUE : FALSE, attributes, flags,
                                     context) != FALSE;
        if (!got && !created.empty()) DeleteFileW(created.c_str());
        return got;
    }

    bool DeleteRemoteFile(TInternetHandleValue connection,
                          const std::string& remotePath) override {
        std::string ansiRemote;
        if (!Utf8ToAnsi(remotePath, ansiRemote)) return false;
        return FtpDeleteFileA(AsHandle(connection), ansiRemote.c_str()) != FALSE;
    }

    bool CreateRemoteDir(TInternetHandleValue connection, const std::string& remoteDir) override {
        std::string ansiRemote;
        if (!Utf8ToAnsi(remoteDir, ansiRemote)) return false;
        return FtpCreateDirectoryA(AsHandle(connection), ansiRemote.c_str()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<IInternetSession> CreateSystemInternetSession() {
    return std::make_unique<TWinInetSession>();
}

}  // namespace vellomar
