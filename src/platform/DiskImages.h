#pragma once

#include <cstdint>
#include <string>

#include "support/CodeResult.h"

namespace harbormind {

// Attaching a disk image file as a disk of its own (a loop device), which the user who
// attached it may then mount, unmount and detach like removable media. The file is opened with
// the user's own rights.
class DiskImages {
public:
    // The file can be read but not written: it may be attached read-only.
    static constexpr std::int64_t notWritable = 30;

    // 0 attached, the message the new disk's name ("loop7"); otherwise the message is the reason.
    using Answer = CodeResult;

    virtual ~DiskImages() = default;
    virtual Answer attach(const std::string& path, bool readOnly) = 0;
};

}  // namespace harbormind
