// Local files on Windows through the wide-character calls, so paths with any
// characters work whatever the ANSI code page.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/FileSystem.h"
#include "platform/VellomarError.h"
#include "platform/win32/Utf16.h"

namespace vellomar {

namespace {

class THandle {
public:
    explicit THandle(HANDLE h) : FHandle(h) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    bool Close() {
        if (!Valid()) return true;
        const bool ok = CloseHandle(FHandle) != 0;
        FHandle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE FHandle;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesW(ToUtf16(path).c_str()); }

std::string LastErrorText(const std::string& what, const std::string& path) {
    return what + " '" + path + "' (system error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& path) { return CreateDirectoryW(ToUtf16(path).c_str(), nullptr) != 0; }

bool RemoveFile(const std::string& path) { return DeleteFileW(ToUtf16(path).c_str()) != 0; }

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    THandle file(CreateFileW(ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw EVellomarError(LastErrorText("Cannot open file", path));
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) throw EVellomarError(LastErrorText("Cannot read file", path));
    if (size.QuadPart > 0x7FFFFFFF) throw EVellomarError("File too large: '" + path + "'");
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to read '" + path + "'");
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = DWORD(bytes.size() - done);
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) {
            throw EVellomarError(LastErrorText("Cannot read file", path));
        }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

std::string TemporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        std::string candidate = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "_" +
                                std::to_string(counter++);
        if (Attributes(candidate) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    return MoveFileExW(ToUtf16(from).c_str(), ToUtf16(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = TemporarySibling(path);
    const std::wstring wideTemp = ToUtf16(temp);
    THandle file(CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw EVellomarError(LastErrorText("Cannot create file", path));
    try {
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD put = 0;
            const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 24));
            if (!WriteFile(file.Get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) {
                throw EVellomarError(LastErrorText("Cannot write file", path));
            }
            done += put;
        }
        if (!file.Close()) throw EVellomarError(LastErrorText("Cannot write file", path));
        if (!MoveFileOver(temp, path)) throw EVellomarError(LastErrorText("Cannot replace file", path));
    } catch (...) {
        file.Close();
        DeleteFileW(wideTemp.c_str());
        throw;
    }
}

}  // namespace vellomar
