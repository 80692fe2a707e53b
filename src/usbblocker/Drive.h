#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// One list entry: a whole physical disk by its media name, with a size figure that no lookup
// compares (the application stores decimal gigabytes).
struct Drive {
    std::string name;
    std::int64_t size = 0;

    bool operator==(const Drive& other) const = default;
};

}  // namespace harbormind
