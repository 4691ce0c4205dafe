#pragma once
// A bounded list of captioned full-picture snapshots, newest last.
// Rules: nothing is stored when the limit is 0 or the picture is smaller
// than 2 × 2; a push onto a full list first drops the oldest entry.
// Snapshots are kept packed (a cheap run-length pass), and large ones in
// temporary files, so that 99 steps of an A4 colour page fit in a 32-bit
// process; a restore gives back the exact pixels, size, format,
// palette, alpha plane and file parameters.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "picture/Bitmap.h"

namespace vellomar {

class TSnapshot;  // compressed picture, defined in UndoList.cpp

class TUndoList {
public:
    TUndoList();
    ~TUndoList();
    TUndoList(TUndoList&&) noexcept;
    TUndoList& operator=(TUndoList&&) noexcept;

    int Limit() const { return FLimit; }
    void SetLimit(int limit);  // drops the oldest entries beyond it

    int Count() const { return int(FEntries.size()); }
    bool Empty() const { return FEntries.empty(); }
    // Caption of the newest entry; empty when the list is empty.
    std::string NewestCaption() const;
    std::string Caption(int index) const;

    // Stores a snapshot of the picture under the rules above; returns whether
    // one was stored.
    bool Push(const TBitmap& picture, const std::string& caption);
    // The newest snapshot decoded; the list must not be empty.
    TBitmap Newest() const;
    void RemoveNewest();
    void Clear();

    // Bytes held by the stored snapshots, packed (for the benchmarks), and
    // the part of them held in memory rather than in temporary files.
    size_t StoredBytes() const;
    size_t InMemoryBytes() const;

private:
    struct TEntry;
    int FLimit = 99;
    std::deque<std::unique_ptr<TEntry>> FEntries;
};

}  // namespace vellomar
