#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "system/support/UdevRecord.h"
#include "testsupport/LoopImageCleanup.h"

namespace harbormind::test {

// What a test's loop device carries.
struct LoopVolumeOrder {
    // mkfs's type ("ext4", "vfat", "exfat", "ntfs", "xfs", "btrfs"), or empty for none.
    std::string fileSystem = "ext4";
    std::string label = "HMSYSTEM";
    // The window and the command line leave out media of 100 MiB or less.
    std::int64_t megabytes = 128;
    // A partition table with one partition holding the file system, rather than the file
    // system on the whole device.
    bool partitioned = false;
};

// A real loop device made by a test: an image file in the test's folder with a real file
// system, attached to a free loop device. Its mounts are undone and the device detached
// afterwards, also when the test process is killed (LoopImageCleanup), and only while it is
// still backed by this image (an eject may have detached it, and another test may have the
// number now).
class LoopVolume {
public:
    // Null with `error` when it cannot be made.
    static std::unique_ptr<LoopVolume> create(const std::string& folder, const LoopVolumeOrder& order, std::string& error);
    ~LoopVolume();
    LoopVolume(const LoopVolume&) = delete;
    LoopVolume& operator=(const LoopVolume&) = delete;

    // The disk's kernel name ("loop5") and the volume's ("loop5", or "loop5p1" when partitioned).
    const std::string& disk() const { return disk_; }
    const std::string& volume() const { return volume_; }
    std::string volumePath() const { return "/dev/" + volume_; }
    const std::string& image() const { return image_; }
    const LoopVolumeOrder& order() const { return spec_; }
    // Whether the loop device is still attached to this image.
    bool attached() const;
    // What the platform reads of a device its user cannot open, written where no udev runs
    // (UdevRecord): probed again after a test changed the contents.
    void refreshUdevRecords();

private:
    LoopVolume() = default;
    // The disk's node, and the volume's when it is a partition.
    std::vector<std::string> devices() const;

    LoopVolumeOrder spec_;
    std::string image_;
    std::string disk_;
    std::string volume_;
    std::vector<std::unique_ptr<UdevRecord>> udevRecords_;
    // Registered before the image is attached, so that no moment leaves its device behind.
    std::unique_ptr<LoopImageCleanup> cleanup_;
};

}  // namespace harbormind::test
