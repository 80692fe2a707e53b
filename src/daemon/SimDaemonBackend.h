#pragma once

#include <memory>

#include "daemon/DaemonBackend.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"

namespace harbormind {

// The simulated daemon behind the bus: every request goes to the in-process daemon of a
// scenario, which answers as it does inside the application (`--platform sim`).
class SimDaemonBackend final : public DaemonBackend {
public:
    explicit SimDaemonBackend(std::shared_ptr<InProcessDaemon> daemon);

    std::shared_ptr<DMBitLockerServerProtocol> bitLocker(std::shared_ptr<DMBitLockerAppProtocol> callbacks) override;
    std::shared_ptr<DMNtfsServerProtocol> ntfs(const CallerIdentity& caller) override;
    std::shared_ptr<CheckDiskBackend> checkDisk() override;
    std::shared_ptr<DMDeviceCloneServerProtocol> deviceClone(
        std::shared_ptr<DMDeviceCloneAppProtocol> callbacks) override;
    std::shared_ptr<DMUSBBlockerServerProtocol> usbBlocker(const CallerIdentity& caller) override;
    std::shared_ptr<DMDiskToolsServerProtocol> diskTools(const DriveMountCaller& caller) override;

    const std::shared_ptr<InProcessDaemon>& daemon() const { return transport_.daemon(); }

private:
    template <typename Protocol>
    std::shared_ptr<Protocol> service(const char* serviceName);

    InProcessXPCTransport transport_;
};

}  // namespace harbormind
