#include "drivemodel/DMDeviceCloneWrapper.h"

#include "xpc/DMDeviceCloneServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {

std::shared_ptr<DMDeviceCloneWrapper> DMDeviceCloneWrapper::shared() {
    static auto* instance = new std::shared_ptr<DMDeviceCloneWrapper>(create());
    return *instance;
}

std::shared_ptr<DMDeviceCloneWrapper> DMDeviceCloneWrapper::create() {
    return std::shared_ptr<DMDeviceCloneWrapper>(new DMDeviceCloneWrapper());
}

XPCDuplexObject& DMDeviceCloneWrapper::deviceCloneXPCObj() {
    std::lock_guard lock(mutex_);
    if (!deviceCloneXPCObj_) {
        std::weak_ptr<XPCInterface> exported = std::static_pointer_cast<DMDeviceCloneAppProtocol>(shared_from_this());
        deviceCloneXPCObj_ = std::make_unique<XPCDuplexObject>(XPCServiceName::deviceClone, exported);
    }
    return *deviceCloneXPCObj_;
}

bool DMDeviceCloneWrapper::isCloneInterruptDeviceWithStrDevice(const std::string& strDevice) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), false, DaemonCallLimit::query, "isCloneInterruptDeviceWithStrDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCBoolReply reply) {
            proxy.isCloneInterruptDeviceWithStrDevice(strDevice, reply);
        });
}

void DMDeviceCloneWrapper::updateProgressWithStatus(std::int64_t, std::int64_t, std::int64_t, std::int64_t,
                                                    XPCIntReply reply) {
    if (reply) {
        reply(0);
    }
}

}  // namespace harbormind
