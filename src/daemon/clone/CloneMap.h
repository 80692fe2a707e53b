#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "daemon/clone/ByteRangeSet.h"

namespace harbormind::clone {

// What an interrupted clone has achieved on one destination: the ranges copied and made
// durable, the ranges that stayed unreadable (written as zeros), and the source they came from.
struct CloneMap {
    std::string destinationIdentity;
    std::string sourceIdentity;
    std::string sourceName;  // the source's device name when the clone ran (such as "sdb")
    std::uint64_t sourceSize = 0;
    ByteRangeSet done;
    ByteRangeSet unreadable;

    std::string serialize() const;
    // Empty unless the text is a whole, well-formed map (a truncated file is refused).
    static std::optional<CloneMap> parse(const std::string& text);

    bool operator==(const CloneMap&) const = default;
};

}  // namespace harbormind::clone
