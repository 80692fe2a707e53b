#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/XPCDuplexObject.h"

namespace harbormind {

// The client of the daemon's device-clone service, as far as the drive model asks it:
// whether a destination carries an interrupted clone.
class DMDeviceCloneWrapper : public DMDeviceCloneAppProtocol,
                             public std::enable_shared_from_this<DMDeviceCloneWrapper> {
public:
    static std::shared_ptr<DMDeviceCloneWrapper> shared();
    static std::shared_ptr<DMDeviceCloneWrapper> create();

    XPCDuplexObject& deviceCloneXPCObj();

    // `strDevice` is "/dev/" followed by the device name.
    bool isCloneInterruptDeviceWithStrDevice(const std::string& strDevice);

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override;

protected:
    DMDeviceCloneWrapper() = default;

private:
    std::mutex mutex_;
    std::unique_ptr<XPCDuplexObject> deviceCloneXPCObj_;
};

}  // namespace harbormind
