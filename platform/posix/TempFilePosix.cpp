#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/TempFile.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

std::string TempFolder() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

[[noreturn]] void RaiseErrno(const char* what) {
    throw EVellomarError(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

TTempFile::TTempFile() {
    std::string pattern = TempFolder() + "/vellomar-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) RaiseErrno("Cannot create a temporary file");
    // Unlinked at once: the space is given back when the descriptor closes,
    // even if the process dies.
    unlink(name.data());
    FHandle = fd;
}

TTempFile::~TTempFile() { close(int(FHandle)); }

void TTempFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(int(FHandle), p, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) RaiseErrno("Cannot write a temporary file");
        p += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
}

void TTempFile::ReadAt(uint64_t offset, void* data, size_t size) const {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = pread(int(FHandle), p, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseErrno("Cannot read a temporary file");
        if (n == 0) throw EVellomarError("A temporary file ended early");
        p += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
}

}  // namespace vellomar
