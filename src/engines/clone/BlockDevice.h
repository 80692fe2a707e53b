#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engines/clone/CloneIo.h"

namespace harbormind::clone {

// An open block device (or, for tests and images, a regular file) read or written with
// positioned I/O. A failing call checks whether the device is still there, so a pulled disk
// or a detached loop device is told apart from a bad sector.
class BlockDevice final : public CloneSource, public CloneDestination {
public:
    // Exclusively: the kernel refuses the open while a file system (mounted in any mount
    // namespace), a mapping or another exclusive opener holds the device, and refuses them while
    // the device is open so.
    enum class Access { read, readExclusive, writeExclusive };
    enum class Caching { direct, buffered };

    // Empty on failure, with `error` set to the errno.
    static std::unique_ptr<BlockDevice> open(const std::string& path, Access access, Caching caching,
                                             int& error);
    ~BlockDevice() override;
    BlockDevice(const BlockDevice&) = delete;
    BlockDevice& operator=(const BlockDevice&) = delete;

    CloneIoResult readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) override;
    CloneIoResult writeAt(std::uint64_t offset, const std::byte* buffer, std::size_t length) override;
    CloneIoResult flush() override;
    std::uint64_t size() const override { return size_; }
    std::uint32_t sectorSize() const override { return sectorSize_; }

    bool isBlockDevice() const { return isBlock_; }
    dev_t deviceNumber() const { return device_; }
    bool readOnly() const;
    const std::string& path() const { return path_; }
    // Still attached, with the size it had when opened.
    bool present() const;
    // Asks the kernel to read the partition table again (after a clone wrote a new one).
    void rereadPartitions() const;
    // Drops what the kernel cached of the device's contents. The copy writes past the cache, so
    // pages a reader (udev's probe, a mount) cached while it ran would show the old contents.
    void forgetCachedContents() const;

private:
    BlockDevice(int fd, std::string path);
    CloneIoResult failure(int error) const;

    int fd_;
    std::string path_;
    bool isBlock_ = false;
    dev_t device_ = 0;
    std::uint64_t size_ = 0;
    std::uint32_t sectorSize_ = 512;
};

}  // namespace harbormind::clone
