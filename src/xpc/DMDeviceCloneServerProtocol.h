#pragma once

#include <string>

#include "xpc/XPCCodeAnswer.h"
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

    // Of our own, answering with the reason a person needs. The pair check: a DMCloneErrorCode
    // raw value and why the pair was refused.
    virtual void checkClonePairWithStrDestinDevice(const std::string& strDestinDevice,
                                                   const std::string& strSourceDevice, XPCCodeReply reply) = 0;
    // The clone request, answered once the copy has started (0, with a notice such as a
    // damaged record that made it start over) or was refused (a pair check code, or -1: another
    // clone runs, a stop came first, or the resume is not possible), with the reason.
    virtual void startCloneWithStrDestinDevice(const std::string& strDestinDevice, const std::string& strSourceDevice,
                                               bool isCover, XPCCodeReply reply) = 0;
    // Whether a clone onto this device is running now: asked by an application whose
    // reports have stopped coming, to tell a slow device from a daemon that went away.
    virtual void isCloneRunningWithStrDestinDevice(const std::string& strDestinDevice, XPCBoolReply reply) = 0;
};

}  // namespace harbormind
