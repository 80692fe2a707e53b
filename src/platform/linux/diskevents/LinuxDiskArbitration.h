#pragma once

#include <memory>

#include "platform/DiskArbitration.h"
#include "platform/linux/disks/LinuxDeviceRegistry.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/mounting/MountRequests.h"

namespace harbormind {

// Disk arbitration on Linux: sessions share one watcher of the machine's disks and make their
// mount, unmount and eject requests through `requests`.
class LinuxDiskArbitration final : public DiskArbitration {
public:
    LinuxDiskArbitration(std::shared_ptr<LinuxDiskWatcher> watcher, std::shared_ptr<LinuxDeviceRegistry> registry,
                         std::shared_ptr<MountRequests> requests);

    std::shared_ptr<DiskArbitrationSession> createSession() override;

private:
    std::shared_ptr<LinuxDiskWatcher> watcher_;
    std::shared_ptr<LinuxDeviceRegistry> registry_;
    std::shared_ptr<MountRequests> requests_;
};

}  // namespace harbormind
