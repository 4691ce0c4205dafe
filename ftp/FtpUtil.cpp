#include "ftp/FtpUtil.h"

#include <cctype>
#include <cstddef>

#include "platform/FileSystem.h"

namespace vellomar {
namespace {

using namespace InternetValues;

constexpr int32_t kDefaultFtpPort = 21;
const char* const kAgent = "KOLFTP";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The port text read the way every numeric item of the host is read:
// leading spaces, one optional sign, then decimal digits or hexadecimal
// digits after $, x, X, 0x or 0X (their 32-bit pattern, at most eight
// significant digits). Anything else, including an out-of-range decimal or a
// trailing character, gives 'fallback'.
int32_t ReadPortText(const std::string& text, int32_t fallback) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return fallback;

    uint64_t magnitude = 0;
    int significantHexDigits = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigitValue(text[i]) : (std::isdigit(uint8_t(text[i])) ? text[i] - '0' : -1);
        if (digit < 0) return fallback;
        if (hex) {
            if (magnitude != 0 || digit != 0) ++significantHexDigits;
            if (significantHexDigits > 8) return fallback;
            magnitude = magnitude * 16 + uint64_t(digit);
        } else {
            magnitude = magnitude * 10 + uint64_t(digit);
            if (magnitude > uint64_t(INT32_MAX) + 1) return fallback;
        }
    }
    if (hex) {
        const uint32_t pattern = uint32_t(magnitude);
        return int32_t(negative ? 0u - pattern : pattern);
    }
    if (!negative && magnitude > uint64_t(INT32_MAX)) return fallback;
    return negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
}

// The text before the last backslash or slash; the separator right after a
// drive's colon and a leading separator stay, so the root is a folder too.
//
// Unlike the usual Windows rule, which ends the folder part only at a
// backslash, a slash ends it as well: a local copy of an FTP path written
// for a Unix server, such as 2024/01/a.jpg, gets its folders created.
std::string LocalFolderPart(const std::string& path) { return ExtractFileDir(path); }

// A folder prefix that names no folder to create: the empty text before a
// leading separator, or a drive such as C:.
bool IsRootPrefix(const std::string& prefix) {
    return prefix.empty() || prefix.back() == ':';
}

}  // namespace

TFtpUtiler::TFtpUtiler(std::unique_ptr<IInternetSession> library) : FLibrary(std::move(library)) {}

// The connection goes before the session: members are destroyed in reverse
// order of declaration.
TFtpUtiler::~TFtpUtiler() = default;

void TFtpUtiler::SetParams(const std::string& host, const std::string& portText,
                           const std::string& userName, const std::string& password) {
    try {
        if (FConnected) Disconnect();
        FHost = host;
        FPort = ReadPortText(portText, kDefaultFtpPort);
        FUserName = userName;
        FPassword = password;
        FConnected = Connect();
    } catch (...) {
        FConnected = false;
    }
}

bool TFtpUtiler::Connect() {
    try {
        FConnection = TInternetHandle();
        FSession = TInternetHandle(*FLibrary, FLibrary->OpenSession(kAgent, kOpenTypePreconfig,
                                                                    kOpenSynchronous));
        if (FSession) {
            FConnection = TInternetHandle(
                *FLibrary, FLibrary->Connect(FSession.Get(), FHost, uint16_t(uint32_t(FPort) & 0xFFFFu),
                                             FUserName, FPassword, kServiceFtp,
                                             kConnectActiveMode, kContext));
        }
        if (FConnection) return true;
    } catch (...) {
        FConnection = TInternetHandle();
    }
    // A session without a connection is of no use: close it now rather than
    // hold it until the next SetParams or the module's unload.
    FSession = TInternetHandle();
    return false;
}

bool TFtpUtiler::Disconnect() {
    FConnection.Reset();
    FSession.Reset();
    return true;
}

bool TFtpUtiler::Upload(const std::string& localPath, const std::string& remotePath) {
    try {
        ForceRemoteDirs(remotePath);
        if (!FConnection) return false;
        return FLibrary->PutFile(FConnection.Get(), localPath, remotePath, kTransferBinary,
                                 kContext);
    } catch (...) {
        return false;
    }
}

bool TFtpUtiler::Download(const std::string& localPath, const std::string& remotePath) {
    std::string partial;
    try {
        ForceLocalDirs(localPath);
        if (!FConnection) return false;
        // The transfer writes beside the local copy, and only a complete file
        // replaces it: a refused or cut transfer keeps the previous copy.
        partial = TemporarySibling(localPath);
        const bool got = FLibrary->GetFile(FConnection.Get(), remotePath, partial,
                                           /*failIfExists=*/false, kFileAttributeNormal,
                                           kFlagReload | kTransferBinary, kContext);
        if (got && MoveFileOver(partial, localPath)) return true;
    } catch (...) {
    }
    try {
        if (!partial.empty() && FileExists(partial)) RemoveFile(partial);
    } catch (...) {
    }
    return false;
}

bool TFtpUtiler::DeleteRemoteFile(const std::string& remotePath) {
    try {
        if (!FConnection) return false;
        return FLibrary->DeleteRemoteFile(FConnection.Get(), remotePath);
    } catch (...) {
        return false;
    }
}

bool TFtpUtiler::CreateRemoteDir(const std::string& remoteDir) {
    try {
        if (!FConnection) return false;
        return FLibrary->CreateRemoteDir(FConnection.Get(), remoteDir);
    } catch (...) {
        return false;
    }
}

bool TFtpUtiler::ForceRemoteDirs(const std::string& remotePath) {
    try {
        bool allCreated = true;
        const int32_t levels = SeparatorCount(remotePath);
        for (int32_t i = 1; i <= levels; ++i) {
            // Every level is attempted: one that exists already fails harmlessly.
            if (!CreateRemoteDir(PathBeforeSeparator(i, remotePath))) allCreated = false;
        }
        return allCreated;
    } catch (...) {
        return false;
    }
}

bool TFtpUtiler::ForceLocalDirs(const std::string& localPath) {
    try {
        const std::string folder = LocalFolderPart(localPath);
        bool allCreated = true;
        const int32_t levels = SeparatorCount(folder) + 1;
        for (int32_t i = 1; i <= levels; ++i) {
            const std::string level = PathBeforeSeparator(i, folder);
            if (IsRootPrefix(level) || DirectoryExists(level)) continue;
            if (!CreateDir(level)) allCreated = false;
        }
        return allCreated;
    } catch (...) {
        return false;
    }
}

int32_t TFtpUtiler::SeparatorCount(const std::string& path) {
    int32_t count = 0;
    for (char c : path) {
        if (IsSeparator(c)) ++count;
    }
    return count;
}

std::string TFtpUtiler::PathBeforeSeparator(int32_t k, const std::string& path) {
    int32_t seen = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && ++seen == k) return path.substr(0, i);
    }
    return path;
}

namespace {

std::unique_ptr<TFtpUtiler>& ProcessUtiler() {
    static std::unique_ptr<TFtpUtiler> utiler;
    return utiler;
}

}  // namespace

TFtpUtiler& GetFtpUtiler() {
    std::unique_ptr<TFtpUtiler>& utiler = ProcessUtiler();
    if (!utiler) utiler = std::make_unique<TFtpUtiler>(CreateSystemInternetSession());
    return *utiler;
}

void FreeFtpUtiler(bool processExiting) {
    if (processExiting) {
        // Deliberately not destroyed: its destructor would call the internet
        // library while the process is being torn down.
        (void)ProcessUtiler().release();
    } else {
        ProcessUtiler().reset();
    }
}

}  // namespace vellomar
