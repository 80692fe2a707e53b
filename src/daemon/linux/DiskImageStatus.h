#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Where a caller's disk image job stands: "none" (never started one), "running", "finished",
// "stopped" or "failed" (with the reason). Bytes count the disk's size and what is copied.
struct DiskImageStatus {
    std::string state = "none";
    std::string kind;    // "create" or "restore"
    std::string device;  // the disk or volume read or written
    std::uint64_t totalBytes = 0;
    std::uint64_t doneBytes = 0;
    std::uint64_t unreadableBytes = 0;
    std::uint64_t imageBytes = 0;  // the image file's size once made
    std::string reason;

    std::string json() const;
};

}  // namespace harbormind
