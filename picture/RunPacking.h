#pragma once
// A very cheap lossless packing for picture snapshots. Scanned pages are
// mostly runs of one colour, and any run of a 1-, 3- or 8-byte pattern
// repeats with a period of 24 bytes; the packer finds stretches where each
// 8-byte word equals the word 24 bytes before and stores them as a length.
// It works a word at a time, so it runs at memory speed, unlike deflate.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellomar {

// The packed form of size bytes at data.
std::vector<uint8_t> PackRuns(const uint8_t* data, size_t size);
// The same into 'out' (its capacity reused); false as soon as the packed
// form would take more than 'limit' bytes, 'out' then holding a part.
bool PackRuns(const uint8_t* data, size_t size, std::vector<uint8_t>& out, size_t limit);
// Unpacks exactly size bytes into out; raises EVellomarError when the packed
// bytes are inconsistent with that size.
void UnpackRuns(const uint8_t* packed, size_t packedSize, uint8_t* out, size_t size);

}  // namespace vellomar
