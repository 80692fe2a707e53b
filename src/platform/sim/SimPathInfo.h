#pragma once

#include <cstdint>
#include <optional>

namespace harbormind {

// What a simulated machine says about one path: existence, access and, for a mount point,
// the space of its file system.
struct SimPathInfo {
    bool exists = true;
    bool readable = true;
    bool writable = true;
    bool listable = true;
    std::optional<std::int64_t> totalBytes;
    std::optional<std::int64_t> freeBytes;
};

}  // namespace harbormind
