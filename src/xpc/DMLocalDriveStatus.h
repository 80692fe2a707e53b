#pragma once

#include <cstdint>
#include <optional>

namespace harbormind {

// The lock state of a local drive. The raw values cross the helper daemon interface, which
// is why they start at 16.
enum class DMLocalDriveStatus : std::int32_t {
    locked = 16,
    unlocked = 17,
    invalid = 18,
    encrypting = 19,
};

// The status for a raw value; 16 to 19 only, anything else is no status.
constexpr std::optional<DMLocalDriveStatus> localDriveStatusFromRawValue(std::int64_t rawValue) {
    if (rawValue < static_cast<std::int64_t>(DMLocalDriveStatus::locked) ||
        rawValue > static_cast<std::int64_t>(DMLocalDriveStatus::encrypting)) {
        return std::nullopt;
    }
    return static_cast<DMLocalDriveStatus>(rawValue);
}

constexpr std::int32_t rawValue(DMLocalDriveStatus status) {
    return static_cast<std::int32_t>(status);
}

}  // namespace harbormind
