#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace harbormind::test {

// Slows one process's writes to one block device (the kernel's blkio controller, in a group
// of its own), so that a test can act while a copy is under way however fast the machine is.
// The process goes back to the root group and the group is removed when this ends.
class BlockWriteThrottle {
public:
    // `device` is a node such as "/dev/loop5". `error` says why not when it cannot be set up.
    BlockWriteThrottle(pid_t process, const std::string& device, std::uint64_t bytesPerSecond, std::string& error);
    ~BlockWriteThrottle();
    BlockWriteThrottle(const BlockWriteThrottle&) = delete;
    BlockWriteThrottle& operator=(const BlockWriteThrottle&) = delete;

    bool active() const { return !group_.empty(); }
    // Lets the process write at full speed again.
    void release();

private:
    pid_t process_;
    std::string group_;
};

}  // namespace harbormind::test
