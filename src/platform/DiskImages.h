#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Attaching a disk image file as a disk of its own (a loop device), which the user who
// attached it may then mount, unmount and detach like removable media. The file is opened with
// the user's own rights.
class DiskImages {
public:
    // The file can be read but not written: it may be attached read-only.
    static constexpr std::int64_t notWritable = 30;

    struct Answer {
        std::int64_t code = 1;  // 0 attached; otherwise the reason is the message
        std::string message;    // on success the new disk's name ("loop7")
    };

    virtual ~DiskImages() = default;
    virtual Answer attach(const std::string& path, bool readOnly) = 0;
};

}  // namespace harbormind
