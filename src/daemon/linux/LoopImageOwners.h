#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace harbormind {

// Who attached each disk image through the daemon, kept as one root-only file per loop device
// in the daemon's state folder (under /run: it lasts as long as loop devices do, across restarts
// of the daemon). A record names the boot and the kernel's sequence number of the medium
// (`diskseq`), which changes whenever a loop device is attached again, so a loop number that
// someone reused is never taken for the image the record was made for.
class LoopImageOwners {
public:
    explicit LoopImageOwners(std::string folder, std::string sysfsRoot = "/sys");

    // False when the record could not be written (the image then stays an administrator's).
    bool record(const std::string& loop, std::uint64_t diskSequence, std::uint32_t uid) const;
    // The uid that attached the image now on `loop`; nothing for a loop device attached any
    // other way, or since reused.
    std::optional<std::uint32_t> ownerOf(const std::string& loop) const;
    void forget(const std::string& loop) const;

    // The kernel's sequence number of the medium in a whole disk.
    std::optional<std::uint64_t> diskSequence(const std::string& disk) const;

private:
    std::string pathOf(const std::string& loop) const;
    bool prepareFolder() const;

    std::string folder_;
    std::string sysfsRoot_;
};

}  // namespace harbormind
