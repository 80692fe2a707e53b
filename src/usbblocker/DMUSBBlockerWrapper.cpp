#include "usbblocker/DMUSBBlockerWrapper.h"

#include "xpc/DMUSBBlockerServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {

XPCRemoteObject& DMUSBBlockerWrapper::usbBlockerXpcObj() {
    std::lock_guard lock(mutex_);
    if (!usbBlockerXpcObj_) {
        usbBlockerXpcObj_ = std::make_unique<XPCRemoteObject>(XPCServiceName::usbBlocker);
    }
    return *usbBlockerXpcObj_;
}

// A daemon that never answers would freeze the window for good; after the operation limit
// the answer is "not done", which is also what a failed connection gives.
bool DMUSBBlockerWrapper::addPlistFile() {
    return waitForDaemon<DMUSBBlockerServerProtocol>(
        usbBlockerXpcObj(), false, DaemonCallLimit::operation, "addPlistFileWithReply",
        [](DMUSBBlockerServerProtocol& proxy, XPCBoolReply reply) { proxy.addPlistFileWithReply(reply); });
}

bool DMUSBBlockerWrapper::removePlistFile() {
    return waitForDaemon<DMUSBBlockerServerProtocol>(
        usbBlockerXpcObj(), false, DaemonCallLimit::operation, "removePlistFileWithReply",
        [](DMUSBBlockerServerProtocol& proxy, XPCBoolReply reply) { proxy.removePlistFileWithReply(reply); });
}

}  // namespace harbormind
