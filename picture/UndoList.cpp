#include "picture/UndoList.h"

#include <new>

#include "picture/RunPacking.h"
#include "platform/TempFile.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Packed planes up to this size stay in memory; larger ones go to a
// temporary file, so 99 steps of a busy A4 page cost disk space, not
// address space (a 32-bit process could not hold them).
constexpr size_t kKeepInMemoryBytes = size_t(256) << 10;

// One byte plane of a picture (its pixels or its alpha), packed.
struct TStoredPlane {
    size_t RawSize = 0;
    size_t PackedSize = 0;
    std::vector<uint8_t> InMemory;    // the packed bytes, when kept here
    std::unique_ptr<TTempFile> File;  // the packed bytes, when spilled
};

TStoredPlane StorePlane(const std::vector<uint8_t>& raw) {
    TStoredPlane plane;
    plane.RawSize = raw.size();
    if (raw.empty()) return plane;
    std::vector<uint8_t> packed = PackRuns(raw.data(), raw.size());
    plane.PackedSize = packed.size();
    if (packed.size() <= kKeepInMemoryBytes) {
        packed.shrink_to_fit();
        plane.InMemory.swap(packed);
    } else {
        plane.File = std::make_unique<TTempFile>();
        plane.File->WriteAt(0, packed.data(), packed.size());
    }
    return plane;
}

void LoadPlane(const TStoredPlane& plane, std::vector<uint8_t>& raw) {
    if (raw.size() != plane.RawSize) throw EVellomarError("An undo snapshot is damaged");
    if (plane.RawSize == 0) return;
    if (!plane.File) {
        UnpackRuns(plane.InMemory.data(), plane.InMemory.size(), raw.data(), raw.size());
        return;
    }
    std::vector<uint8_t> packed(plane.PackedSize);
    plane.File->ReadAt(0, packed.data(), packed.size());
    UnpackRuns(packed.data(), packed.size(), raw.data(), raw.size());
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

    size_t StoredBytes() const { return FPixels.PackedSize + FAlpha.PackedSize; }
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
