#pragma once
// An anonymous scratch file in the system's temporary folder that vanishes
// when the object is destroyed (POSIX: unlinked right after creation;
// Windows: opened with FILE_FLAG_DELETE_ON_CLOSE). Used to keep large data,
// such as undo snapshots, out of the process's address space.
#include <cstddef>
#include <cstdint>

namespace vellomar {

class TTempFile {
public:
    // Raises EVellomarError when no temporary file can be created.
    TTempFile();
    ~TTempFile();
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    // Both raise EVellomarError unless every byte was transferred.
    void WriteAt(uint64_t offset, const void* data, size_t size);
    void ReadAt(uint64_t offset, void* data, size_t size) const;

private:
    intptr_t FHandle;  // a file descriptor or a HANDLE
};

}  // namespace vellomar
