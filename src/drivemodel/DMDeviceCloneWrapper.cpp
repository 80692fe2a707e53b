#include "drivemodel/DMDeviceCloneWrapper.h"

#include <algorithm>

#include "support/DeviceName.h"
#include "support/Log.h"
#include "support/ReplyWait.h"
#include "xpc/DMDeviceCloneServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

// The node the daemon is asked about: "/dev/" + the device's name. A text that is no device
// name is never sent.
std::optional<std::string> nodeOf(const std::string& name) {
    auto device = DeviceName::fromName(name);
    return device ? std::optional<std::string>(device->path()) : std::nullopt;
}

// The nodes of a clone's two devices; none when either name is no device name.
struct Nodes {
    std::string destination;
    std::string source;
};

std::optional<Nodes> nodesOf(const std::string& destination, const std::string& source) {
    auto destinationNode = nodeOf(destination);
    auto sourceNode = nodeOf(source);
    if (!destinationNode || !sourceNode) {
        return std::nullopt;
    }
    return Nodes{*destinationNode, *sourceNode};
}

XPCCodeAnswer notADevice(const std::string& destination, const std::string& source) {
    const std::string& odd = nodeOf(destination) ? source : destination;
    return {CodeResult::unsetCode, "\"" + odd + "\" is not a device name"};
}

}  // namespace

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
    auto nodes = nodesOf(destination, source);
    if (!nodes) {
        return -1;
    }
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), std::int64_t{-1}, seconds(checkLimitSeconds), "checkDiskWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCIntReply reply) {
            proxy.checkDiskWithStrDestinDevice(nodes->destination, nodes->source, reply);
        });
}

void DMDeviceCloneWrapper::clone(const std::string& destination, const std::string& source, bool isCover) {
    auto nodes = nodesOf(destination, source);
    if (!nodes) {
        Log::warning("clone: " + notADevice(destination, source).message);
        return;
    }
    auto proxy = deviceCloneXPCObj().remoteObject<DMDeviceCloneServerProtocol>(nullptr);
    if (!proxy) {
        Log::warning("clone: the device-clone service cannot be reached");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        cloneConnection_ = proxy;
    }
    proxy->clonDeviceWithStrDestinDevice(nodes->destination, nodes->source, isCover, [](std::int64_t code) {
        if (code != 0) {
            Log::warning("clone: the daemon refused the clone with code " + std::to_string(code));
        }
    });
}

XPCCodeAnswer DMDeviceCloneWrapper::checkPair(const std::string& destination, const std::string& source) {
    auto nodes = nodesOf(destination, source);
    if (!nodes) {
        return notADevice(destination, source);
    }
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), XPCCodeAnswer{-1, {}}, seconds(checkLimitSeconds),
        "checkClonePairWithStrDestinDevice", [&](DMDeviceCloneServerProtocol& proxy, XPCCodeReply reply) {
            proxy.checkClonePairWithStrDestinDevice(nodes->destination, nodes->source, reply);
        });
}

// The request's connection stays open after the answer: the copy's progress comes back on it.
XPCCodeAnswer DMDeviceCloneWrapper::startClone(const std::string& destination, const std::string& source,
                                               bool isCover) {
    auto nodes = nodesOf(destination, source);
    if (!nodes) {
        return notADevice(destination, source);
    }
    ReplyWait<XPCCodeAnswer> wait(XPCCodeAnswer{-1, {}});
    auto proxy = deviceCloneXPCObj().remoteObject<DMDeviceCloneServerProtocol>([wait] { wait.fail(); });
    if (!proxy) {
        return {-1, {}};
    }
    {
        std::lock_guard lock(mutex_);
        cloneConnection_ = proxy;
    }
    proxy->startCloneWithStrDestinDevice(nodes->destination, nodes->source, isCover,
                                         [answer = wait.replyHandler()](XPCCodeAnswer value) {
                                             DaemonReachability::answered();
                                             answer(std::move(value));
                                         });
    return wait.wait(seconds(startLimitSeconds), "startCloneWithStrDestinDevice");
}

bool DMDeviceCloneWrapper::isCloneRunning(const std::string& destination) {
    auto node = nodeOf(destination);
    if (!node) {
        return false;
    }
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), false, DaemonCallLimit::query, "isCloneRunningWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCBoolReply reply) {
            proxy.isCloneRunningWithStrDestinDevice(*node, reply);
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
    auto node = nodeOf(destination);
    return node && isCloneInterruptDeviceWithStrDevice(*node);
}

std::string DMDeviceCloneWrapper::cloneInterruptSource(const std::string& destination) {
    auto node = nodeOf(destination);
    if (!node) {
        return {};
    }
    return waitForDaemon<DMDeviceCloneServerProtocol>(
        deviceCloneXPCObj(), std::string(), DaemonCallLimit::query,
        "getCloneInterruptSourceDeviceUUIDWithStrDestinDevice",
        [&](DMDeviceCloneServerProtocol& proxy, XPCStringReply reply) {
            proxy.getCloneInterruptSourceDeviceUUIDWithStrDestinDevice(*node, reply);
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
