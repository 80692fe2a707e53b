#include "xpc/XPCDuplexObject.h"

namespace harbormind {

XPCDuplexObject::XPCDuplexObject(std::string strServiceName, std::weak_ptr<XPCInterface> exportObj,
                                 std::shared_ptr<XPCTransport> transport)
    : XPCRemoteObject(std::move(strServiceName), std::move(transport)), exportObj_(std::move(exportObj)) {}

std::shared_ptr<XPCInterface> XPCDuplexObject::remoteObj() const {
    std::lock_guard lock(mutex_);
    return remoteObj_.lock();
}

std::shared_ptr<XPCConnection> XPCDuplexObject::newConnection() const {
    std::lock_guard lock(mutex_);
    return newConnection_.lock();
}

void XPCDuplexObject::connected(const std::shared_ptr<XPCConnection>& connection,
                                const std::shared_ptr<XPCInterface>& proxy) {
    std::lock_guard lock(mutex_);
    newConnection_ = connection;
    remoteObj_ = proxy;
}

}  // namespace harbormind
