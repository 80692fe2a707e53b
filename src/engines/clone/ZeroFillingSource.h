#pragma once

#include <atomic>
#include <cstdint>

#include "engines/clone/CloneIo.h"

namespace harbormind::clone {

// Reads a source in order for a destination that must be written in order (a compressed
// image): a chunk that cannot be read is read again sector by sector, and a sector that still
// cannot be read reads as zeros and is counted, so the copy never has to come back for it.
class ZeroFillingSource final : public CloneSource {
public:
    explicit ZeroFillingSource(CloneSource& source) : source_(source) {}

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override;
    std::uint64_t size() const override { return source_.size(); }
    std::uint32_t sectorSize() const override { return source_.sectorSize(); }
    std::uint64_t unreadableBytes() const { return unreadable_.load(); }

private:
    CloneSource& source_;
    std::atomic<std::uint64_t> unreadable_{0};
};

}  // namespace harbormind::clone
