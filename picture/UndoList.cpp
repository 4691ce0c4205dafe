#include "picture/UndoList.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "picture/RunPacking.h"
#include "platform/TempFile.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Planes are stored in blocks, each packed when that saves at least an
// eighth and kept as it is otherwise: the noise of a real scan defeats the
// packing, and then a block costs one scan and no copy.
constexpr size_t kBlockBytes = size_t(1) << 20;
// Stored bytes up to this size stay in memory; beyond it the plane goes to
// a temporary file, so 99 steps of a busy A4 page cost disk space, not
// address space (a 32-bit process could not hold them).
constexpr size_t kKeepInMemoryBytes = size_t(256) << 10;

struct TStoredBlock {
    size_t RawSize = 0;
    size_t StoredSize = 0;
    bool Packed = false;
    uint64_t Offset = 0;  // in the memory buffer or the file
};

// One byte plane of a picture (its pixels or its alpha).
struct TStoredPlane {
    size_t RawSize = 0;
    std::vector<TStoredBlock> Blocks;
    std::vector<uint8_t> InMemory;    // the stored bytes while they are few
    std::unique_ptr<TTempFile> File;  // all stored bytes once they are many
    uint64_t StoredSize = 0;
};

void Append(TStoredPlane& plane, const uint8_t* bytes, size_t size) {
    if (!plane.File && plane.StoredSize + size > kKeepInMemoryBytes) {
        plane.File = std::make_unique<TTempFile>();
        if (!plane.InMemory.empty()) plane.File->WriteAt(0, plane.InMemory.data(), plane.InMemory.size());
        std::vector<uint8_t>().swap(plane.InMemory);
    }
    if (plane.File)
        plane.File->WriteAt(plane.StoredSize, bytes, size);
    else
        plane.InMemory.insert(plane.InMemory.end(), bytes, bytes + size);
    plane.StoredSize += size;
}

TStoredPlane StorePlane(const std::vector<uint8_t>& raw) {
    TStoredPlane plane;
    plane.RawSize = raw.size();
    std::vector<uint8_t> packed;
    packed.reserve(kBlockBytes);
    for (size_t at = 0; at < raw.size(); at += kBlockBytes) {
        TStoredBlock block;
        block.RawSize = std::min(kBlockBytes, raw.size() - at);
        block.Offset = plane.StoredSize;
        block.Packed = PackRuns(raw.data() + at, block.RawSize, packed, block.RawSize - block.RawSize / 8);
        const uint8_t* bytes = block.Packed ? packed.data() : raw.data() + at;
        block.StoredSize = block.Packed ? packed.size() : block.RawSize;
        Append(plane, bytes, block.StoredSize);
        plane.Blocks.push_back(block);
    }
    plane.InMemory.shrink_to_fit();
    return plane;
}

void LoadPlane(const TStoredPlane& plane, std::vector<uint8_t>& raw) {
    if (raw.size() != plane.RawSize) throw EVellomarError("An undo snapshot is damaged");
    std::vector<uint8_t> packed;
    size_t at = 0;
    for (const TStoredBlock& block : plane.Blocks) {
        if (block.RawSize > raw.size() - at) throw EVellomarError("An undo snapshot is damaged");
        uint8_t* out = raw.data() + at;
        const uint8_t* stored;
        if (plane.File) {
            // Blocks kept as they are are read straight into place.
            if (!block.Packed) {
                plane.File->ReadAt(block.Offset, out, block.RawSize);
                at += block.RawSize;
                continue;
            }
            packed.resize(block.StoredSize);
            plane.File->ReadAt(block.Offset, packed.data(), block.StoredSize);
            stored = packed.data();
        } else {
            stored = plane.InMemory.data() + block.Offset;
        }
        if (block.Packed)
            UnpackRuns(stored, block.StoredSize, out, block.RawSize);
        else
            std::memcpy(out, stored, block.RawSize);
        at += block.RawSize;
    }
    if (at != raw.size()) throw EVellomarError("An undo snapshot is damaged");
}

}  // namespace

// A picture as the undo list keeps it: the description in the clear, the
// pixel and alpha planes packed.
class TSnapshot {
public:
    explicit TSnapshot(const TBitmap& picture)
        : FWidth(picture.Width()),
          FHeight(picture.Height()),
          FFormat(picture.Format()),
          FPalette(picture.Palette()),
          FIOParams(picture.IOParams()),
          FPixels(StorePlane(picture.Pixels())),
          FAlpha(StorePlane(picture.Alpha())) {}

    TBitmap Restore() const {
        TBitmap picture(FWidth, FHeight, FFormat);
        LoadPlane(FPixels, picture.Pixels());
        if (FAlpha.RawSize != 0) {
            picture.EnsureAlpha();
            LoadPlane(FAlpha, picture.Alpha());
        }
        picture.Palette() = FPalette;
        picture.IOParams() = FIOParams;
        return picture;
    }

    size_t StoredBytes() const { return size_t(FPixels.StoredSize + FAlpha.StoredSize); }
    size_t InMemoryBytes() const { return FPixels.InMemory.size() + FAlpha.InMemory.size(); }

private:
    int FWidth, FHeight;
    TPixelFormat FFormat;
    std::vector<TRgb> FPalette;
    TIOParams FIOParams;
    TStoredPlane FPixels;
    TStoredPlane FAlpha;
};

struct TUndoList::TEntry {
    TEntry(const std::string& caption, const TBitmap& picture) : Caption(caption), Snapshot(picture) {}
    std::string Caption;
    TSnapshot Snapshot;
};

TUndoList::TUndoList() = default;
TUndoList::~TUndoList() = default;
TUndoList::TUndoList(TUndoList&&) noexcept = default;
TUndoList& TUndoList::operator=(TUndoList&&) noexcept = default;

void TUndoList::SetLimit(int limit) {
    FLimit = limit < 0 ? 0 : limit;
    while (int(FEntries.size()) > FLimit) FEntries.pop_front();
}

std::string TUndoList::NewestCaption() const {
    return FEntries.empty() ? std::string() : FEntries.back()->Caption;
}

std::string TUndoList::Caption(int index) const {
    if (index < 0 || index >= Count())
        throw EVellomarError("List index out of bounds (" + std::to_string(index) + ")");
    return FEntries[size_t(index)]->Caption;
}

bool TUndoList::Push(const TBitmap& picture, const std::string& caption) {
    if (FLimit <= 0 || picture.Width() < 2 || picture.Height() < 2) return false;
    std::unique_ptr<TEntry> entry;
    try {
        entry = std::make_unique<TEntry>(caption, picture);
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory for an undo snapshot");
    }
    while (int(FEntries.size()) >= FLimit) FEntries.pop_front();
    FEntries.push_back(std::move(entry));
    return true;
}

TBitmap TUndoList::Newest() const {
    if (FEntries.empty()) throw EVellomarError("The undo list is empty");
    try {
        return FEntries.back()->Snapshot.Restore();
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to restore an undo snapshot");
    }
}

void TUndoList::RemoveNewest() {
    if (!FEntries.empty()) FEntries.pop_back();
}

void TUndoList::Clear() { FEntries.clear(); }

size_t TUndoList::StoredBytes() const {
    size_t total = 0;
    for (const auto& entry : FEntries) total += entry->Snapshot.StoredBytes();
    return total;
}

size_t TUndoList::InMemoryBytes() const {
    size_t total = 0;
    for (const auto& entry : FEntries) total += entry->Snapshot.InMemoryBytes();
    return total;
}

}  // namespace vellomar
