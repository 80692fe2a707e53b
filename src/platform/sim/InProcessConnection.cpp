#include "platform/sim/InProcessConnection.h"

#include "platform/sim/InProcessBitLockerService.h"
#include "platform/sim/InProcessCheckDiskService.h"
#include "platform/sim/InProcessDeviceCloneService.h"
#include "platform/sim/InProcessDiskToolsService.h"
#include "platform/sim/InProcessLuksService.h"
#include "platform/sim/InProcessNtfsService.h"
#include "platform/sim/InProcessUSBBlockerService.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"

namespace harbormind {

InProcessConnection::InProcessConnection(std::shared_ptr<InProcessDaemon> daemon, std::string key)
    : daemon_(std::move(daemon)), key_(std::move(key)) {}

bool InProcessConnection::setExportedObject(std::weak_ptr<XPCInterface> object) {
    exported_ = object;
    std::shared_ptr<XPCInterface> exported = object.lock();
    if (key_ == "bitlocker" || key_ == "luks") {
        return std::dynamic_pointer_cast<DMBitLockerAppProtocol>(exported) != nullptr;
    }
    if (key_ == "checkDisk") {
        return std::dynamic_pointer_cast<DMCheckDiskAppProtocol>(exported) != nullptr;
    }
    if (key_ == "deviceClone") {
        cloneApp_ = std::dynamic_pointer_cast<DMDeviceCloneAppProtocol>(exported);
        return !cloneApp_.expired();
    }
    return false;
}

void InProcessConnection::setInvalidationHandler(std::function<void()> handler) {
    invalidation_ = std::move(handler);
}

void InProcessConnection::resume() {
    if (refused() && invalidation_) {
        invalidation_();
    }
}

std::shared_ptr<XPCInterface> InProcessConnection::remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) {
    if (refused()) {
        if (errorHandler) {
            errorHandler("The connection to service " + key_ + " was invalidated");
        }
        return nullptr;
    }
    std::shared_ptr<XPCInterface> proxy = service();
    if (!proxy && errorHandler) {
        errorHandler("No such service");
    }
    return proxy;
}

bool InProcessConnection::refused() const {
    return key_.empty() || daemon_->behaviour(key_) == InProcessDaemonBehaviour::failConnection;
}

std::shared_ptr<XPCInterface> InProcessConnection::service() const {
    if (key_ == "bitlocker") {
        return std::make_shared<InProcessBitLockerService>(daemon_, key_, exported_);
    }
    if (key_ == "luks") {
        return std::make_shared<InProcessLuksService>(daemon_, key_, exported_);
    }
    if (key_ == "ntfs") {
        return std::make_shared<InProcessNtfsService>(daemon_, key_);
    }
    if (key_ == "checkDisk") {
        return std::make_shared<InProcessCheckDiskService>(daemon_, key_, exported_);
    }
    if (key_ == "deviceClone") {
        return std::make_shared<InProcessDeviceCloneService>(daemon_, key_, cloneApp_);
    }
    if (key_ == "usbBlocker") {
        return std::make_shared<InProcessUSBBlockerService>(daemon_, key_);
    }
    if (key_ == InProcessDiskToolsService::key) {
        return std::make_shared<InProcessDiskToolsService>(daemon_);
    }
    return nullptr;
}

}  // namespace harbormind
