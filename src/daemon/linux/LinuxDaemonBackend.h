#pragma once

#include "daemon/DaemonBackend.h"
#include "daemon/linux/LinuxNtfsService.h"

namespace harbormind {

// The daemon's work on this machine, one service object per call. A service not built yet
// is its refusing stand-in; a new backend replaces it here.
class LinuxDaemonBackend final : public DaemonBackend {
public:
    // The NTFS service's paths differ from the machine's only in tests.
    explicit LinuxDaemonBackend(NtfsServicePaths ntfsPaths = {});

    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> callbacks) override;
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity& caller) override;
    std::shared_ptr<CheckDiskBackend> checkDisk() override;
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override;
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker() override;

private:
    NtfsServicePaths ntfsPaths_;
};

}  // namespace harbormind
