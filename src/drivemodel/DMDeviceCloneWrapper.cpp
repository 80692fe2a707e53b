#include "drivemodel/DMDeviceCloneWrapper.h"

#include <algorithm>

#include "support/Log.h"
#include "support/ReplyWait.h"
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

void DMDeviceCloneWrapper::setDelegate(std::weak_ptr<DMDeviceCloneWrapperDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::shared_ptr<DMDeviceCloneWrapperDelegate> DMDeviceCloneWrapper::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

std::int64_t DMDeviceCloneWrapper::checkDisk(const std::string& destination, const std::string& source) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), std::int64_t{-1}, seconds(checkLimitSeconds), "checkDiskWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCIntReply reply) {
            proxy.checkDiskWithStrDestinDevice("/dev/" + destination, "/dev/" + source, reply);
        });
}

void DMDeviceCloneWrapper::clone(const std::string& destination, const std::string& source, bool isCover) {
    auto proxy = deviceCloneXPCObj().remoteObject<DMDeviceCloneServerProtocol>(nullptr);
    if (!proxy) {
        Log::warning("clone: the device-clone service cannot be reached");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        cloneConnection_ = proxy;
    }
    proxy->clonDeviceWithStrDestinDevice("/dev/r" + destination, "/dev/r" + source, isCover, [](std::int64_t code) {
        if (code != 0) {
            Log::warning("clone: the daemon refused the clone with code " + std::to_string(code));
        }
    });
}

XPCCodeAnswer DMDeviceCloneWrapper::checkPair(const std::string& destination, const std::string& source) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), XPCCodeAnswer{-1, {}}, seconds(checkLimitSeconds), "checkClonePairWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCCodeReply reply) {
            proxy.checkClonePairWithStrDestinDevice("/dev/" + destination, "/dev/" + source, reply);
        });
}

// The request's connection stays open after the answer: the copy's progress comes back on it.
XPCCodeAnswer DMDeviceCloneWrapper::startClone(const std::string& destination, const std::string& source,
                                               bool isCover) {
    ReplyWait<XPCCodeAnswer> wait(XPCCodeAnswer{-1, {}});
    auto proxy = deviceCloneXPCObj().remoteObject<DMDeviceCloneServerProtocol>([wait] { wait.fail(); });
    if (!proxy) {
        return {-1, {}};
    }
    {
        std::lock_guard lock(mutex_);
        cloneConnection_ = proxy;
    }
    proxy->startCloneWithStrDestinDevice("/dev/r" + destination, "/dev/r" + source, isCover,
                                         [answer = wait.replyHandler()](XPCCodeAnswer value) {
                                             DaemonReachability::answered();
                                             answer(std::move(value));
                                         });
    return wait.wait(seconds(startLimitSeconds), "startCloneWithStrDestinDevice");
}

bool DMDeviceCloneWrapper::isCloneRunning(const std::string& destination) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), false, DaemonCallLimit::query, "isCloneRunningWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCBoolReply reply) {
            proxy.isCloneRunningWithStrDestinDevice("/dev/" + destination, reply);
        });
}

bool DMDeviceCloneWrapper::isCloneInterruptDeviceWithStrDevice(const std::string& strDevice) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), false, DaemonCallLimit::query, "isCloneInterruptDeviceWithStrDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCBoolReply reply) {
            proxy.isCloneInterruptDeviceWithStrDevice(strDevice, reply);
        });
}

bool DMDeviceCloneWrapper::isCloneInterrupted(const std::string& destination) {
    return isCloneInterruptDeviceWithStrDevice("/dev/" + destination);
}

std::string DMDeviceCloneWrapper::cloneInterruptSource(const std::string& destination) {
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), std::string(), DaemonCallLimit::query,
        "getCloneInterruptSourceDeviceUUIDWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCStringReply reply) {
            proxy.getCloneInterruptSourceDeviceUUIDWithStrDestinDevice("/dev/" + destination, reply);
        });
}

void DMDeviceCloneWrapper::stopCloneWithFlag(bool flag) {
    if (auto proxy = deviceCloneXPCObj().remoteObject<DMDeviceCloneServerProtocol>(nullptr)) {
        proxy->stopCloneWithFlag(flag);
    }
}

void DMDeviceCloneWrapper::updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                                    std::int64_t error, XPCIntReply reply) {
    if (auto receiver = delegate()) {
        receiver->deviceCloneProgress(DMProgressMessage::fromDaemon(status, total, current, error));
    }
    if (reply) {
        reply(0);
    }
}

void DMDeviceCloneWrapper::cloneEndedWithUnreadableBytes(std::int64_t unreadableBytes, const std::string& reason) {
    if (auto receiver = delegate()) {
        receiver->deviceCloneEnded(static_cast<std::uint64_t>(std::max<std::int64_t>(unreadableBytes, 0)), reason);
    }
}

}  // namespace harbormind
