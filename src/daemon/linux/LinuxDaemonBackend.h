#pragma once

#include "daemon/DaemonBackend.h"
#include "daemon/clone/CloneEngine.h"

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

private:
    // One engine for the daemon's life: it runs one clone at a time and, when the daemon
    // ends (SIGTERM), stops it and saves its map.
    std::shared_ptr<clone::CloneEngine> cloneEngine_ = std::make_shared<clone::CloneEngine>();
};

}  // namespace harbormind
