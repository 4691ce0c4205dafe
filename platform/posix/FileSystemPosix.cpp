// Local files on POSIX systems (the native build used by the tests).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() { if (FFd >= 0) ::close(FFd); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    int Release() { int fd = FFd; FFd = -1; return fd; }

private:
    int FFd;
};

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

void WriteAll(int fd, const std::vector<uint8_t>& bytes, const std::string& path) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EVellomarError(ErrnoText("Cannot write file", path));
        done += size_t(n);
    }
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool RemoveFile(const std::string& path) { return FileExists(path) && ::unlink(path.c_str()) == 0; }

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) throw EVellomarError(ErrnoText("Cannot open file", path));
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw EVellomarError("Cannot open file '" + path + "': not a regular file");
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(st.st_size));
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to read '" + path + "'");
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EVellomarError(ErrnoText("Cannot read file", path));
        if (n == 0) break;
        done += size_t(n);
    }
    bytes.resize(done);
    return bytes;
}

std::string TemporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        std::string candidate = path + ".tmp" + std::to_string(::getpid()) + "_" +
                                std::to_string(counter++);
        struct stat st;
        if (::stat(candidate.c_str(), &st) != 0) return candidate;
    }
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = TemporarySibling(path);
    TFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.Get() < 0) throw EVellomarError(ErrnoText("Cannot create file", path));
    try {
        WriteAll(fd.Get(), bytes, path);
        if (::close(fd.Release()) != 0) throw EVellomarError(ErrnoText("Cannot write file", path));
        if (!MoveFileOver(temp, path)) throw EVellomarError(ErrnoText("Cannot replace file", path));
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}

}  // namespace vellomar
