#pragma once

#include <string>

#include "xpc/XPCInterface.h"
#include "xpc/XPCReply.h"

namespace harbormind {

// The daemon's device-clone service; progress arrives through DMDeviceCloneAppProtocol.
class DMDeviceCloneServerProtocol : public virtual XPCInterface {
public:
    virtual void clonDeviceWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                               bool isCover, XPCIntReply reply) = 0;
    virtual void isCloneInterruptDeviceWithStrDevice(const std::string& strDevice, XPCBoolReply reply) = 0;
    virtual void getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(const std::string& strDestinDevice,
                                                                      XPCStringReply reply) = 0;
    virtual void stopCloneWithFlag(bool flag) = 0;
    virtual void checkDiskWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                              XPCIntReply reply) = 0;
};

}  // namespace harbormind
