#pragma once

#include <optional>

namespace harbormind {

// The blocker's mode. The raw values are stored in settings.
enum class AllowDiskMountModel : int {
    AllowAllMount = 0,
    PopupsQuery = 1,
    OnlyAllowWhitelistMount = 2,
};

// The case for a raw value; none outside 0 to 2.
constexpr std::optional<AllowDiskMountModel> allowDiskMountModelFromRawValue(long long rawValue) {
    if (rawValue < 0 || rawValue > 2) {
        return std::nullopt;
    }
    return static_cast<AllowDiskMountModel>(rawValue);
}

}  // namespace harbormind
