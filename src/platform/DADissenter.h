#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// A refusal of a mount or unmount request, or the failure of a disk operation.
struct DADissenter {
    static constexpr std::uint32_t notPermitted = 0xF8DA0004;  // the status of a refusal
    static constexpr std::uint32_t busy = 0xF8DA0002;
    static constexpr std::uint32_t error = 0xF8DA0001;

    std::uint32_t status = 0;
    std::string statusString;

    bool operator==(const DADissenter& other) const = default;
};

}  // namespace harbormind
