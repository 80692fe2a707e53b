#pragma once

#include <cstdint>
#include <optional>

namespace harbormind {

// The daemon's answer to a clone pair check; the raw value is the case's position.
enum class DMCloneErrorCode : std::int64_t {
    noError = 0,
    openSourceDeivceFaild = 1,
    openDestinDeviceFaild = 2,
    sectorSizeNoMatch = 3,
    destinDeviceSzieNoEnough = 4,
};

// Any number outside 0 to 4 names no case.
constexpr std::optional<DMCloneErrorCode> cloneErrorCodeFromRaw(std::int64_t value) {
    if (value < 0 || value > 4) {
        return std::nullopt;
    }
    return static_cast<DMCloneErrorCode>(value);
}

}  // namespace harbormind
