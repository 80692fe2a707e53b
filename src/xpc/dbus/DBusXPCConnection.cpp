#include "xpc/dbus/DBusXPCConnection.h"

#include "support/Log.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusBitLockerProxy.h"
#include "xpc/dbus/DBusCallbackExport.h"
#include "xpc/dbus/DBusCheckDiskProxy.h"
#include "xpc/dbus/DBusDeviceCloneProxy.h"
#include "xpc/dbus/DBusDiskToolsProxy.h"
#include "xpc/dbus/DBusLuksProxy.h"
#include "xpc/dbus/DBusNtfsProxy.h"
#include "xpc/dbus/DBusUSBBlockerProxy.h"

namespace harbormind {

DBusXPCConnection::DBusXPCConnection(std::string serviceName) : serviceName_(std::move(serviceName)) {}

bool DBusXPCConnection::setExportedObject(std::weak_ptr<XPCInterface> object) {
    // Only the services with callbacks take an exported object.
    bool duplex = serviceName_ == XPCServiceName::bitLocker || serviceName_ == XPCServiceName::checkDisk ||
                  serviceName_ == XPCServiceName::deviceClone || serviceName_ == XPCServiceName::luks;
    if (!duplex || !object.lock()) {
        return false;
    }
    exported_ = std::move(object);
    exports_ = true;
    return true;
}

void DBusXPCConnection::resume() {
    std::string error;
    link_ = DBusLink::open(error);
    if (link_ && exports_ && !DBusCallbackExport::install(link_, serviceName_, exported_)) {
        error = "cannot export the callback object";
        link_.reset();
    }
    if (!link_) {
        Log::debug(serviceName_ + ": " + error);
        if (invalidation_) {
            invalidation_();
        }
    }
}

std::shared_ptr<XPCInterface> DBusXPCConnection::remoteObjectProxyWithErrorHandler(ErrorHandler errorHandler) {
    if (!link_) {
        // The invalidation on resume has already been reported.
        return nullptr;
    }
    if (serviceName_ == XPCServiceName::bitLocker) {
        return std::make_shared<DBusBitLockerProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::ntfs) {
        return std::make_shared<DBusNtfsProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::checkDisk) {
        return std::make_shared<DBusCheckDiskProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::deviceClone) {
        return std::make_shared<DBusDeviceCloneProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::usbBlocker) {
        return std::make_shared<DBusUSBBlockerProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::luks) {
        return std::make_shared<DBusLuksProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (serviceName_ == XPCServiceName::diskTools) {
        return std::make_shared<DBusDiskToolsProxy>(link_, serviceName_, std::move(errorHandler));
    }
    if (errorHandler) {
        errorHandler("No such service");
    }
    return nullptr;
}

}  // namespace harbormind
