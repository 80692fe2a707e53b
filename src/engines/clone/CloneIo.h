#pragma once

#include <cstddef>
#include <cstdint>

namespace harbormind::clone {

// How one read or write ended: done whole, failed (the device is still there), or the device
// has gone away.
enum class CloneIoStatus { ok, failed, gone };

struct CloneIoResult {
    CloneIoStatus status = CloneIoStatus::ok;
    int error = 0;  // errno of the failure, 0 when ok
};

// What the copy reads from. Tests implement it to inject read faults.
class CloneSource {
public:
    virtual ~CloneSource() = default;
    // Reads exactly `length` bytes at `offset` into `buffer` (aligned for direct I/O).
    virtual CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) = 0;
    virtual std::uint64_t size() const = 0;
    virtual std::uint32_t sectorSize() const = 0;
};

// What the copy writes to.
class CloneDestination {
public:
    virtual ~CloneDestination() = default;
    virtual CloneIoResult writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) = 0;
    // Makes everything written so far durable.
    virtual CloneIoResult flush() = 0;
};

}  // namespace harbormind::clone
