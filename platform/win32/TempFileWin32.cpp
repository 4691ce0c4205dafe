#include <windows.h>

#include <string>

#include "platform/TempFile.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Transfers are split so that a byte count always fits a DWORD.
constexpr size_t kChunk = size_t(1) << 26;

[[noreturn]] void RaiseLastError(const char* what) {
    throw EVellomarError(std::string(what) + " (Windows error " +
                         std::to_string(GetLastError()) + ")");
}

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED o = {};
    o.Offset = DWORD(offset & 0xFFFFFFFFu);
    o.OffsetHigh = DWORD(offset >> 32);
    return o;
}

}  // namespace

TTempFile::TTempFile() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) RaiseLastError("Cannot find the temporary folder");
    wchar_t name[MAX_PATH + 1];
    if (GetTempFileNameW(folder, L"vlm", 0, name) == 0)
        RaiseLastError("Cannot create a temporary file");
    // The file GetTempFileNameW made is reopened so that it is deleted when
    // the handle closes, also when the process ends abnormally.
    HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        RaiseLastError("Cannot open a temporary file");
    }
    FHandle = reinterpret_cast<intptr_t>(h);
}

TTempFile::~TTempFile() { CloseHandle(reinterpret_cast<HANDLE>(FHandle)); }

void TTempFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD part = DWORD(size < kChunk ? size : kChunk);
        OVERLAPPED o = At(offset);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(FHandle), p, part, &written, &o) || written == 0)
            RaiseLastError("Cannot write a temporary file");
        p += written;
        offset += written;
        size -= written;
    }
}

void TTempFile::ReadAt(uint64_t offset, void* data, size_t size) const {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const DWORD part = DWORD(size < kChunk ? size : kChunk);
        OVERLAPPED o = At(offset);
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(FHandle), p, part, &got, &o))
            RaiseLastError("Cannot read a temporary file");
        if (got == 0) throw EVellomarError("A temporary file ended early");
        p += got;
        offset += got;
        size -= got;
    }
}

}  // namespace vellomar
