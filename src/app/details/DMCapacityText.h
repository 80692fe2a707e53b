#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// The texts of a volume's capacity map and facts.
class DMCapacityText {
public:
    // A size, or "Unknown" when it cannot be read.
    static std::string size(const std::optional<std::int64_t>& bytes);
    // "Used: " + used + ", " + "Available: " + free.
    static std::string usedAndAvailable(const std::optional<std::int64_t>& used,
                                        const std::optional<std::int64_t>& free);
};

}  // namespace harbormind
