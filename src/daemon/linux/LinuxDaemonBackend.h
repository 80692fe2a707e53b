#pragma once

#include "daemon/DaemonBackend.h"

namespace harbormind {

// The daemon's work on this machine, one service object per call. A service not built yet
// is its refusing stand-in; a new backend replaces it here.
class LinuxDaemonBackend final : public DaemonBackend {
public:
    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> callbacks) override;
    std::shared_ptr<DMNtfsServerProtocol> ntfs() override;
    std::shared_ptr<CheckDiskBackend> checkDisk() override;
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override;
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker() override;
};

}  // namespace harbormind
