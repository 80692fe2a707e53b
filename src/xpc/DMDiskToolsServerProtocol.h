#pragma once

#include <cstdint>
#include <string>

#include "xpc/XPCCodeAnswer.h"
#include "xpc/XPCInterface.h"

namespace harbormind {

// The daemon's disk tools: a drive's health (its SMART data), self-tests, erasing a disk or a
// volume, and creating and deleting partitions. Every request is answered with a code and a
// message: `done` with the result (the health report, the partition table, the new volume),
// otherwise the reason in words a person can act on.
class DMDiskToolsServerProtocol : public virtual XPCInterface {
public:
    static constexpr std::int64_t done = 0;
    static constexpr std::int64_t failed = 1;
    // The drive cannot report its health (a disk image, a bridge that hides it).
    static constexpr std::int64_t notAvailable = 2;
    static constexpr std::int64_t notPermitted = 13;
    // Something uses the disk or volume (mounted, swap, the running system).
    static constexpr std::int64_t busy = 16;
    // An argument the tools refuse (an unknown file system, a label it cannot hold).
    static constexpr std::int64_t invalid = 22;
    // Follows the reason a device in use gives when an image of it is asked for.
    static constexpr const char* imageInUseNote =
        "; an image is made only of a device nothing uses, so that it holds one moment's contents";

    // `done` with smartctl's JSON report of the whole disk.
    virtual void driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;
    virtual void startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) = 0;
    // `done` with the disk's table as JSON (DMPartitionTable::parse reads it).
    virtual void partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;
    // A whole disk gets a new GPT with one partition; a partition a new file system. `fileSystem`
    // is a DMEraseFileSystem name; `password` only for an encrypted volume. `done` names the
    // new volume's device.
    virtual void eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem, const std::string& label,
                                  const std::string& password, XPCCodeReply reply) = 0;
    // A new partition in the disk's free space, starting at `startBytes`.
    virtual void createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes,
                                            std::int64_t sizeBytes, const std::string& fileSystem,
                                            const std::string& label, const std::string& password,
                                            XPCCodeReply reply) = 0;
    virtual void deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) = 0;

    // Disk images. The image is a file the caller opened (`imageFd`, passed over the bus), so it
    // is the caller's file in the caller's folder. One image job runs per caller; it is
    // followed with `diskImageStatusWithReply` (`done` with DMDiskImageStatus's JSON).
    // `done` with the image's and the device's sizes as JSON when `bsdname` may be restored
    // from the image (unused, large enough); otherwise the reason. Writes nothing.
    virtual void checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) = 0;
    // Starts reading the disk or volume into the image (raw and sparse, or zstd).
    virtual void createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                            XPCCodeReply reply) = 0;
    // Starts writing the image (raw, zstd or xz) over the disk or volume.
    virtual void restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) = 0;
    virtual void diskImageStatusWithReply(XPCCodeReply reply) = 0;
    virtual void stopDiskImageWithReply(XPCCodeReply reply) = 0;
};

}  // namespace harbormind
