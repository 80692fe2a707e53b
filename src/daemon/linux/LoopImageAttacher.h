#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// Attaches a disk image as a new loop device from a descriptor the caller opened (so nothing
// here opens the image's path with root's rights), with its partitions scanned; read-only on
// request, and whenever the caller could only read the file.
class LoopImageAttacher {
public:
    struct Attached {
        std::string name;           // "loop7"
        std::uint64_t diskSequence;  // the kernel's sequence number of the new medium
    };

    // Nothing, with `problem` saying why, when the descriptor is not a regular file open for
    // reading (and for writing unless `readOnly`), or no loop device could be set up.
    static std::optional<Attached> attach(int imageFd, bool readOnly, std::string& problem);
    static void detach(const std::string& name);
};

}  // namespace harbormind
