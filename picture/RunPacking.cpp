#include "picture/RunPacking.h"

#include <cstring>

#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Stream layout: records of a 32-bit header, native byte order (the packed
// form never leaves the process). The top bit marks a repeat of the low 31
// bits' count of bytes, each copied from 24 bytes before; otherwise that
// many literal bytes follow the header.
constexpr size_t kPeriod = 24;
constexpr uint32_t kRepeatBit = 0x80000000u;
constexpr size_t kMaxRecord = size_t(1) << 30;
// Shorter repeats are left inside the literals; a header costs 4 bytes.
constexpr size_t kMinRepeat = 64;

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

void PutHeader(std::vector<uint8_t>& out, uint32_t header) {
    const size_t at = out.size();
    out.resize(at + 4);
    std::memcpy(out.data() + at, &header, 4);
}

void PutLiteral(std::vector<uint8_t>& out, const uint8_t* data, size_t size) {
    while (size > 0) {
        const size_t part = size < kMaxRecord ? size : kMaxRecord;
        PutHeader(out, uint32_t(part));
        out.insert(out.end(), data, data + part);
        data += part;
        size -= part;
    }
}

void PutRepeat(std::vector<uint8_t>& out, size_t size) {
    while (size > 0) {
        const size_t part = size < kMaxRecord ? size : kMaxRecord;
        PutHeader(out, kRepeatBit | uint32_t(part));
        size -= part;
    }
}

[[noreturn]] void RaiseCorrupt() { throw EVellomarError("An undo snapshot is damaged"); }

}  // namespace

bool PackRuns(const uint8_t* data, size_t size, std::vector<uint8_t>& out, size_t limit) {
    out.clear();
    auto fits = [&](size_t more) { return out.size() + more + 8 <= limit; };
    size_t literalStart = 0;
    size_t i = kPeriod;
    while (i + 8 <= size) {
        if (Load64(data + i) != Load64(data + i - kPeriod)) {
            i += 8;
            continue;
        }
        size_t end = i + 8;
        while (end + 8 <= size && Load64(data + end) == Load64(data + end - kPeriod)) end += 8;
        if (end - i >= kMinRepeat) {
            if (!fits(i - literalStart)) return false;
            PutLiteral(out, data + literalStart, i - literalStart);
            PutRepeat(out, end - i);
            literalStart = end;
        }
        i = end;
    }
    if (!fits(size - literalStart)) return false;
    if (literalStart < size) PutLiteral(out, data + literalStart, size - literalStart);
    return true;
}

std::vector<uint8_t> PackRuns(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    // Worst case: all literal, one header per record.
    const size_t worst = size + (size / kMaxRecord + 2) * 4 + 8;
    out.reserve(worst);
    PackRuns(data, size, out, worst);
    return out;
}

void UnpackRuns(const uint8_t* packed, size_t packedSize, uint8_t* out, size_t size) {
    size_t in = 0, at = 0;
    while (in < packedSize) {
        if (packedSize - in < 4) RaiseCorrupt();
        uint32_t header;
        std::memcpy(&header, packed + in, 4);
        in += 4;
        const size_t count = header & ~kRepeatBit;
        if (count > size - at) RaiseCorrupt();
        if (header & kRepeatBit) {
            if (at < kPeriod) RaiseCorrupt();
            // Word copies from 24 bytes back never overlap their source.
            size_t k = 0;
            for (; k + 8 <= count; k += 8) std::memcpy(out + at + k, out + at + k - kPeriod, 8);
            for (; k < count; ++k) out[at + k] = out[at + k - kPeriod];
        } else {
            if (count > packedSize - in) RaiseCorrupt();
            std::memcpy(out + at, packed + in, count);
            in += count;
        }
        at += count;
    }
    if (at != size) RaiseCorrupt();
}

}  // namespace vellomar
