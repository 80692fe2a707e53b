#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engines/clone/ByteRangeSet.h"

namespace harbormind::clone {

// What an interrupted clone has achieved on one destination: the ranges copied and made
// durable, the ranges that stayed unreadable (written as zeros), and the source they came from.
struct CloneMap {
    std::string destinationIdentity;
    std::string sourceIdentity;
    std::string sourceName;  // the source's device name when the clone ran (such as "sdb")
    std::uint64_t sourceSize = 0;
    // The source's logical sector size: every range starts and ends on one.
    std::uint32_t sectorSize = 512;
    // A hash of sampled blocks of the source taken when the clone started, so a resume can
    // tell whether the source still holds what was being copied.
    std::string sourceSample;
    ByteRangeSet done;
    ByteRangeSet unreadable;

    // The text, ending with a checksum of everything before it.
    std::string serialize() const;
    // Empty unless the text is a whole, well-formed map whose checksum matches and whose
    // ranges lie on sector boundaries within the source (a truncated or edited file is refused).
    static std::optional<CloneMap> parse(const std::string& text);

    bool operator==(const CloneMap&) const = default;
};

}  // namespace harbormind::clone
