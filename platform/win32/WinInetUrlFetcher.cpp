#include "platform/win32/WinInetUrlFetcher.h"

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "platform/win32/Utf16.h"

namespace vellomar {
namespace {

struct TInternetCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using TUniqueInternet = std::unique_ptr<void, TInternetCloser>;

constexpr DWORD kReadChunk = 64 * 1024;
constexpr DWORD kHttpOk = 200;

// Fetch from the server every time and keep nothing in the cache; never
// show a dialog. No INTERNET_FLAG_IGNORE_* flag: certificate errors and a
// redirect from https to http fail the fetch. An ftp URL uses passive mode,
// which passes the firewalls that active mode does not.
constexpr DWORD kOpenUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PASSIVE;

// The URL's scheme as WinInet parses it; INTERNET_SCHEME_UNKNOWN when it
// cannot be parsed.
INTERNET_SCHEME SchemeOf(const std::wstring& url) {
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = 1;  // ask for the scheme without copying anything
    if (!InternetCrackUrlW(url.c_str(), DWORD(url.size()), 0, &parts)) {
        return INTERNET_SCHEME_UNKNOWN;
    }
    return parts.nScheme;
}

bool HasHttpStatusOk(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    return HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                          &size, nullptr) &&
           status == kHttpOk;
}

bool ReadWholeBody(HINTERNET request, size_t maxBodySize, std::vector<uint8_t>& body) {
    std::vector<uint8_t> chunk(kReadChunk);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, chunk.data(), kReadChunk, &read)) return false;
        if (read == 0) return true;
        if (read > maxBodySize - body.size()) return false;
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    }
}

}  // namespace

bool TWinInetUrlFetcher::Fetch(const std::string& url, std::vector<uint8_t>& body) {
    body.clear();
    try {
        const std::wstring wideUrl = ToUtf16(url);
        const INTERNET_SCHEME scheme = SchemeOf(wideUrl);
        if (scheme != INTERNET_SCHEME_HTTP && scheme != INTERNET_SCHEME_HTTPS &&
            scheme != INTERNET_SCHEME_FTP) {
            return false;
        }

        TUniqueInternet session(
            InternetOpenW(L"Vellomar", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!session) return false;
        TUniqueInternet request(
            InternetOpenUrlW(session.get(), wideUrl.c_str(), nullptr, 0, kOpenUrlFlags, 0));
        if (!request) return false;
        if (scheme != INTERNET_SCHEME_FTP && !HasHttpStatusOk(request.get())) return false;
        if (ReadWholeBody(request.get(), FMaxBodySize, body)) return true;
    } catch (...) {
        // Out of memory while growing the body: the fetch fails like any other.
    }
    body.clear();
    return false;
}

}  // namespace vellomar
