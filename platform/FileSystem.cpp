// The path rules shared by both platforms; the file calls themselves are in
// platform/posix and platform/win32.
#include "platform/FileSystem.h"

#include "platform/VellomarError.h"

namespace vellomar {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ExtractFileDir(const std::string& path) {
    const size_t last = path.find_last_of("\\/:");
    if (last == std::string::npos) return std::string();
    if (path[last] == ':') return path.substr(0, last + 1);
    // Keep a root separator, and the one right after a drive's colon.
    if (last == 0 || path[last - 1] == ':') return path.substr(0, last + 1);
    return path.substr(0, last);
}

void ForceDirectories(const std::string& dir) {
    if (dir.empty()) throw EVellomarError("Unable to create directory");
    std::string trimmed = dir;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()) && trimmed[trimmed.size() - 2] != ':') {
        trimmed.pop_back();
    }
    if (DirectoryExists(trimmed)) return;
    const std::string parent = ExtractFileDir(trimmed);
    // Stop at a root or a drive; a level that cannot be made is not reported,
    // the write that follows fails on its own.
    if (!parent.empty() && parent != trimmed) ForceDirectories(parent);
    CreateDir(trimmed);
}

std::string LowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t sep = path.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return std::string();
    std::string ext = path.substr(dot);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return ext;
}

}  // namespace vellomar
