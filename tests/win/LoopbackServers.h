#pragma once
// The loopback FTP and HTTP servers that tools/win_servers.sh starts, as the
// Windows tests see them: ports, served folders and the FTP command log, read
// from the VELLOMAR_* environment variables. Paths come as Unix paths and are
// reached through Wine's Z: drive.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <process.h>
#include <sstream>
#include <string>

namespace vellomar::testing {

inline std::optional<std::string> EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

// A Unix path of the host as a Windows path through Wine's Z: drive; a path
// that is already a Windows path stays as it is.
inline std::filesystem::path HostPath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return std::filesystem::u8path("Z:" + path);
    return std::filesystem::u8path(path);
}

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFileText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct TLoopbackFtp {
    std::string Port;
    std::filesystem::path Root;
    std::filesystem::path Log;
    std::string User;
    std::string Password;

    // The server, or nothing when the environment does not name one.
    static std::optional<TLoopbackFtp> FromEnvironment() {
        const auto port = EnvironmentText("VELLOMAR_FTP_PORT");
        const auto root = EnvironmentText("VELLOMAR_FTP_ROOT");
        const auto log = EnvironmentText("VELLOMAR_FTP_LOG");
        if (!port || !root || !log) return std::nullopt;
        return TLoopbackFtp{*port, HostPath(*root), HostPath(*log),
                            EnvironmentText("VELLOMAR_FTP_USER").value_or("vellomar"),
                            EnvironmentText("VELLOMAR_FTP_PASSWORD").value_or("loopback-only")};
    }
    // The commands the server has received so far, one "<- COMMAND" a line.
    std::string ReadLog() const { return ReadFileText(Log); }
};

struct TLoopbackHttp {
    std::string Port;
    std::filesystem::path Root;

    static std::optional<TLoopbackHttp> FromEnvironment() {
        const auto port = EnvironmentText("VELLOMAR_HTTP_PORT");
        const auto root = EnvironmentText("VELLOMAR_HTTP_ROOT");
        if (!port || !root) return std::nullopt;
        return TLoopbackHttp{*port, HostPath(*root)};
    }
    std::string Url(const std::string& name) const {
        return "http://127.0.0.1:" + Port + "/" + name;
    }
};

// A folder under the Windows temporary folder, removed with its content.
class TWinTempDir {
public:
    explicit TWinTempDir(const std::string& name) {
        static int serial = 0;
        FPath = std::filesystem::temp_directory_path() /
                std::filesystem::u8path("vellomar-" + name + "-" + std::to_string(_getpid()) + "-" +
                                        std::to_string(++serial));
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
        std::filesystem::create_directories(FPath);
    }
    ~TWinTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TWinTempDir(const TWinTempDir&) = delete;
    TWinTempDir& operator=(const TWinTempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    // A path inside the folder as the UTF-8 text the core takes.
    std::string Utf8(const std::string& relative) const {
        return (FPath / std::filesystem::u8path(relative)).u8string();
    }

private:
    std::filesystem::path FPath;
};

}  // namespace vellomar::testing
