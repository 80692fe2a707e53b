#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// One finished self-test in the drive's log, newest first.
struct DMDriveSelfTestEntry {
    std::string kind;    // "Short offline", "Extended", ...
    std::string result;  // as the drive words it
    bool passed = false;
    std::optional<std::int64_t> powerOnHours;

    bool operator==(const DMDriveSelfTestEntry&) const = default;
};

}  // namespace harbormind
