#pragma once

#include <cstdint>

#include "platform/JunkEntryFilter.h"

namespace harbormind {

// What a user may clean from a temporary folder that every user and service shares: only their
// own regular files, folders and links, and only those left alone for a while, so that files a
// running program is still writing stay. Sockets, pipes and device nodes are never offered:
// they belong to running programs and free no space.
class LinuxTemporaryEntryFilter : public JunkEntryFilter {
public:
    static constexpr std::int64_t quietSeconds = 3600;

    // `nowSeconds` is the time of the scan, in seconds since 1970.
    LinuxTemporaryEntryFilter(std::uint32_t owner, std::int64_t nowSeconds);
    bool offers(const EntryStat& entry) const override;

private:
    std::uint32_t owner_;
    std::int64_t newestOffered_;
};

}  // namespace harbormind
