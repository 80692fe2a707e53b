#pragma once

#include <cstdint>

namespace harbormind {

// What the daemon answers to an NTFS mount. Any other non-zero answer is a failure the user
// is asked to report.
struct NtfsMountResult {
    static constexpr std::int64_t mounted = 0;
    static constexpr std::int64_t failed = -1;
    // The volume is hibernated or was not shut down cleanly: it was mounted, read-only, so
    // Windows' unsaved state is not overwritten.
    static constexpr std::int64_t mountedReadOnly = 2;
    // The caller may not mount this volume (its authorization, or USB Warden).
    static constexpr std::int64_t notPermitted = 13;
};

}  // namespace harbormind
