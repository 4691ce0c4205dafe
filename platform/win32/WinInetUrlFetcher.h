#pragma once
// Fetches http, https and ftp URLs through WinInet, synchronously.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace vellomar {

class TWinInetUrlFetcher final : public IUrlFetcher {
public:
    // Bodies larger than this fail the fetch, so a hostile server cannot
    // exhaust the 32-bit address space.
    static constexpr size_t kDefaultMaxBodySize = size_t(512) * 1024 * 1024;

    explicit TWinInetUrlFetcher(size_t maxBodySize = kDefaultMaxBodySize)
        : FMaxBodySize(maxBodySize) {}

    // Certificates are checked; redirects are followed except from https to
    // http; the cache is neither read nor written. Any scheme other than
    // http, https and ftp fails.
    bool Fetch(const std::string& url, std::vector<uint8_t>& body) override;

private:
    size_t FMaxBodySize;
};

}  // namespace vellomar
