#pragma once

#include <cstdint>

namespace harbormind {

// Stage of a long job; a case's position is also its number on the daemon wire.
enum class DMProgressStatus { initializing, initialized, suspended, running, finished };

// A wire status of 1 to 4 names that case; anything else (0, negative, above 4) is `initializing`.
constexpr DMProgressStatus progressStatusFromWire(std::int64_t value) {
    switch (value) {
        case 1: return DMProgressStatus::initialized;
        case 2: return DMProgressStatus::suspended;
        case 3: return DMProgressStatus::running;
        case 4: return DMProgressStatus::finished;
        default: return DMProgressStatus::initializing;
    }
}

}  // namespace harbormind
