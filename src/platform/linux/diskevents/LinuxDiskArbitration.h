#pragma once

#include <memory>

#include "platform/DiskArbitration.h"
#include "platform/ProcessLauncher.h"
#include "platform/linux/disks/LinuxDeviceRegistry.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"

namespace harbormind {

// Disk arbitration on Linux: sessions share one watcher of the machine's disks.
class LinuxDiskArbitration final : public DiskArbitration {
public:
    LinuxDiskArbitration(std::shared_ptr<LinuxDiskWatcher> watcher, std::shared_ptr<LinuxDeviceRegistry> registry,
                         ProcessLauncher& processes);

    std::shared_ptr<DiskArbitrationSession> createSession() override;

private:
    std::shared_ptr<LinuxDiskWatcher> watcher_;
    std::shared_ptr<LinuxDeviceRegistry> registry_;
    ProcessLauncher& processes_;
    std::string mountHelper_;
};

}  // namespace harbormind
