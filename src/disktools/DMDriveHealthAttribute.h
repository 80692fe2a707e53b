#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// One vendor attribute of an ATA drive: its normalized value against its threshold, and the
// raw count behind it.
struct DMDriveHealthAttribute {
    std::int64_t id = 0;
    std::string name;
    std::optional<std::int64_t> value;
    std::optional<std::int64_t> worst;
    std::optional<std::int64_t> threshold;
    std::string raw;
    // The drive says the value is at or below its threshold now.
    bool failingNow = false;

    bool operator==(const DMDriveHealthAttribute&) const = default;
};

}  // namespace harbormind
