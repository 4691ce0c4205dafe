#pragma once
// Local files by UTF-8 path. POSIX and Win32 (wide-character calls)
// implementations; both accept backslash and slash as separators on Windows.
#include <cstdint>
#include <string>
#include <vector>

namespace vellomar {

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates one folder level; true on success.
bool CreateDir(const std::string& path);
// Deletes a file; false when it does not exist or cannot be deleted.
bool RemoveFile(const std::string& path);
// Reads a whole file; raises EVellomarError when it cannot be opened or read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
// Writes through a temporary file in the target's folder and moves it over
// the target only when every byte was written; a failure leaves the target as
// it was and raises EVellomarError.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);
// A name for a temporary file beside 'path' (same folder), not yet existing.
std::string TemporarySibling(const std::string& path);
// Moves 'from' over 'to', replacing it; true on success.
bool MoveFileOver(const std::string& from, const std::string& to);

// Folder part of a local path: the text before its last backslash or slash;
// a root separator and the separator right after a drive's colon stay
// ("C:\a.jpg" gives "C:\", "/a.jpg" gives "/"). Empty when there is none.
std::string ExtractFileDir(const std::string& path);
// Creates the folder and every missing level above it; raises
// EVellomarError("Unable to create directory") for an empty path; a level
// that cannot be created is not reported.
void ForceDirectories(const std::string& dir);
// Lower-cased extension including its dot (".jpg"), or empty.
std::string LowerExtension(const std::string& path);

}  // namespace vellomar
