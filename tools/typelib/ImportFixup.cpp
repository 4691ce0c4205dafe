#include "tools/typelib/ImportFixup.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace vellomar::typelib {

namespace {

// The layout of the compiled type library format ("MSFT") that is needed
// here: the header, the segment directory, the import table and the GUID
// table.
constexpr uint32_t kMagic = 0x5446534D;       // "MSFT"
constexpr size_t kHeaderSize = 0x54;
constexpr size_t kTypeInfoCountAt = 0x20;
constexpr size_t kVarFlagsAt = 0x14;
constexpr uint32_t kHasHelpDll = 0x100;
constexpr size_t kSegmentEntrySize = 16;      // offset, length, two reserved
constexpr int kImportSegment = 1;
constexpr int kGuidSegment = 5;
constexpr size_t kImportEntrySize = 12;       // flags, import file, GUID offset or index
constexpr size_t kGuidEntrySize = 24;         // GUID, reference, next in hash chain
constexpr uint32_t kOffsetIsGuid = 0x00010000;

bool ReadU32(const std::vector<uint8_t>& bytes, size_t at, uint32_t& value) {
    if (at > bytes.size() || bytes.size() - at < 4) return false;
    std::memcpy(&value, bytes.data() + at, 4);
    return true;
}

void WriteU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

struct TSegment {
    size_t Offset = 0, Length = 0;
};

bool ReadSegment(const std::vector<uint8_t>& bytes, size_t directory, int index, TSegment& out) {
    uint32_t offset = 0, length = 0;
    const size_t at = directory + size_t(index) * kSegmentEntrySize;
    if (!ReadU32(bytes, at, offset) || !ReadU32(bytes, at + 4, length)) return false;
    if (int32_t(offset) < 0 || offset > bytes.size() || bytes.size() - offset < length) return false;
    out = {offset, length};
    return true;
}

bool IsNullGuid(const std::vector<uint8_t>& bytes, size_t at) {
    for (size_t i = 0; i < sizeof(GUID); ++i) {
        if (bytes[at + i] != 0) return false;
    }
    return true;
}

}  // namespace

HRESULT FixGuidlessImports(const std::wstring& path, int index, std::wstring& failure) {
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path.c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            failure = L"reading " + path;
            return E_FAIL;
        }
    }
    uint32_t magic = 0, typeInfoCount = 0, varFlags = 0;
    if (!ReadU32(bytes, 0, magic) || magic != kMagic || !ReadU32(bytes, kTypeInfoCountAt, typeInfoCount) ||
        !ReadU32(bytes, kVarFlagsAt, varFlags) || typeInfoCount > 0xFFFF) {
        failure = path + L" is not a compiled type library";
        return E_FAIL;
    }
    const size_t directory = kHeaderSize + ((varFlags & kHasHelpDll) ? 4 : 0) + 4 * size_t(typeInfoCount);
    TSegment imports, guids;
    if (!ReadSegment(bytes, directory, kImportSegment, imports) ||
        !ReadSegment(bytes, directory, kGuidSegment, guids)) {
        failure = path + L" has a broken segment directory";
        return E_FAIL;
    }
    bool changed = false;
    for (size_t at = imports.Offset; at + kImportEntrySize <= imports.Offset + imports.Length;
         at += kImportEntrySize) {
        uint32_t flags = 0, guidOffset = 0;
        ReadU32(bytes, at, flags);
        ReadU32(bytes, at + 8, guidOffset);
        if (!(flags & kOffsetIsGuid)) continue;
        if (guidOffset % kGuidEntrySize != 0 || guidOffset + kGuidEntrySize > guids.Length) {
            failure = path + L" has an import with a broken GUID offset";
            return E_FAIL;
        }
        if (!IsNullGuid(bytes, guids.Offset + guidOffset)) continue;
        WriteU32(bytes, at, flags & ~kOffsetIsGuid);
        WriteU32(bytes, at + 8, uint32_t(index));
        changed = true;
    }
    if (!changed) return S_OK;
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.good()) {
        failure = L"writing " + path;
        return E_FAIL;
    }
    return S_OK;
}

}  // namespace vellomar::typelib
