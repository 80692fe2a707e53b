#pragma once

#include <memory>

#include "engines/clone/CloneEngine.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/DMDeviceCloneServerProtocol.h"

namespace harbormind {

// The device-clone service on this machine: the daemon's one copy engine, with the calling
// application's callbacks receiving the progress of a clone it starts.
class LinuxDeviceCloneService final : public DMDeviceCloneServerProtocol {
public:
    LinuxDeviceCloneService(std::shared_ptr<clone::CloneEngine> engine,
                            std::shared_ptr<DMDeviceCloneAppProtocol> callbacks);

    void clonDeviceWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCIntReply reply) override;
    void isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) override;
    void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                              XPCStringReply reply) override;
    void stopCloneWithFlag(bool flag) override;
    void checkDiskWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                      XPCIntReply reply) override;
    void checkClonePairWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                           XPCCodeReply reply) override;
    void startCloneWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                       bool isCover, XPCCodeReply reply) override;
    void isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice, XPCBoolReply reply) override;

private:
    clone::CloneProgressSink progressSink() const;

    std::shared_ptr<clone::CloneEngine> engine_;
    std::shared_ptr<DMDeviceCloneAppProtocol> callbacks_;
};

}  // namespace harbormind
