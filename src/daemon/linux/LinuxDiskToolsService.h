#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "daemon/DriveMountBackend.h"
#include "daemon/linux/DiskImageJobs.h"
#include "daemon/linux/DiskToolRunner.h"
#include "daemon/linux/DiskToolsDevices.h"
#include "engines/clone/ImageFileSource.h"
#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind {

// The disk tools on this machine, for one caller. Erasing and partitioning need the caller's
// authorization for the disk: removable media the caller may mount (an external drive, a
// disk image the caller attached) asks `eraseRemovable`, anything else `eraseSystem`; restoring
// an image over a disk asks `restoreRemovable` or `restoreSystem` alike. Reading a disk into an image reads everybody's files on it: `imageCreate`,
// unless it is a disk image the caller attached (`attachImage`).
class LinuxDiskToolsService final : public DMDiskToolsServerProtocol {
public:
    using LoopOwner = std::function<std::optional<std::uint32_t>(const std::string& loop)>;

    LinuxDiskToolsService(DriveMountCaller caller, LoopOwner loopOwner,
                          std::shared_ptr<DiskToolRunner> runner = std::make_shared<SystemDiskToolRunner>(),
                          std::shared_ptr<DiskImageJobs> imageJobs = std::make_shared<DiskImageJobs>());

    void driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) override;
    void partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem, const std::string& label,
                          const std::string& password, XPCCodeReply reply) override;
    void createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes, std::int64_t sizeBytes,
                                    const std::string& fileSystem, const std::string& label,
                                    const std::string& password, XPCCodeReply reply) override;
    void deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                    XPCCodeReply reply) override;
    void restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void diskImageStatusWithReply(XPCCodeReply reply) override;
    void stopDiskImageWithReply(XPCCodeReply reply) override;

private:
    enum class DiskWrite { erase, restore };

    // Why the caller may not write over the disk of `device`; empty when they may.
    std::string refusal(const std::string& device, DiskWrite write = DiskWrite::erase) const;
    // Why the caller may not read `device` into an image; empty when they may.
    std::string imageRefusal(const std::string& device) const;
    // The answer refusing to write over `device` (a virtual device, or not the caller's to
    // change), asked only once the arguments are known to be good.
    std::optional<XPCCodeAnswer> checkDevice(const std::string& device, DiskWrite write = DiskWrite::erase) const;
    // The image opened for a restore onto `device`, or the answer refusing it (a file that
    // is no image, a device in use or smaller than the image), without asking authorization.
    std::unique_ptr<clone::ImageFileSource> restorable(const std::string& device, int imageFd,
                                                       XPCCodeAnswer& refusal) const;

    DriveMountCaller caller_;
    LoopOwner loopOwner_;
    std::shared_ptr<DiskToolRunner> runner_;
    std::shared_ptr<DiskImageJobs> imageJobs_;
    DiskToolsDevices devices_;
};

}  // namespace harbormind
