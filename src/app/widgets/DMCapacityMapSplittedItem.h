#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// One partition in a whole disk's capacity map. `used` is absent when it cannot be read
// (the partition is not mounted).
struct DMCapacityMapSplittedItem {
    std::string title;
    std::string subtitle;
    std::int64_t size = 0;
    std::optional<std::int64_t> used;
};

}  // namespace harbormind
