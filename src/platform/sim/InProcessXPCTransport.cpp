#include "platform/sim/InProcessXPCTransport.h"

#include "platform/sim/InProcessConnection.h"
#include "platform/sim/InProcessDiskToolsService.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {

InProcessXPCTransport::InProcessXPCTransport(std::shared_ptr<InProcessDaemon> daemon) : daemon_(std::move(daemon)) {}

std::shared_ptr<XPCConnection> InProcessXPCTransport::newConnection(const std::string& serviceName) {
    return std::make_shared<InProcessConnection>(daemon_, serviceKey(serviceName));
}

std::string InProcessXPCTransport::serviceKey(const std::string& serviceName) {
    static const std::pair<const char*, const char*> keys[] = {
        {XPCServiceName::bitLocker, "bitlocker"},     {XPCServiceName::luks, "luks"},
        {XPCServiceName::ntfs, "ntfs"},               {XPCServiceName::checkDisk, "checkDisk"},
        {XPCServiceName::deviceClone, "deviceClone"}, {XPCServiceName::usbBlocker, "usbBlocker"},
        {XPCServiceName::diskTools, InProcessDiskToolsService::key},
    };
    for (const auto& [name, key] : keys) {
        if (serviceName == name) {
            return key;
        }
    }
    return {};
}

}  // namespace harbormind
