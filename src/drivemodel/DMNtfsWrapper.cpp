#include "drivemodel/DMNtfsWrapper.h"

#include "xpc/DMNtfsServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {

std::shared_ptr<DMNtfsWrapper> DMNtfsWrapper::shared() {
    static auto* instance = new std::shared_ptr<DMNtfsWrapper>(std::make_shared<DMNtfsWrapper>());
    return *instance;
}

XPCRemoteObject& DMNtfsWrapper::ntfsXPCObj() {
    std::lock_guard lock(mutex_);
    if (!ntfsXPCObj_) {
        ntfsXPCObj_ = std::make_unique<XPCRemoteObject>(XPCServiceName::ntfs);
    }
    return *ntfsXPCObj_;
}

bool DMNtfsWrapper::isNtfsKextAllowed() {
    return waitForDaemon<DMNtfsServerProtocol>(
        ntfsXPCObj(), false, DaemonCallLimit::query, "isNtfsKextAllowedWithReply",
        [](DMNtfsServerProtocol& proxy, XPCBoolReply reply) { proxy.isNtfsKextAllowedWithReply(reply); });
}

std::int64_t DMNtfsWrapper::mountAsNTFSNativelyWithBsdName(const std::string& bsdName) {
    return waitForDaemon<DMNtfsServerProtocol>(
        ntfsXPCObj(), std::int64_t{-1}, DaemonCallLimit::operation, "mountAsNTFSNativelyWithBsdName",
        [&](DMNtfsServerProtocol& proxy, XPCIntReply reply) { proxy.mountAsNTFSNativelyWithBsdName(bsdName, reply); });
}

// The daemon may ask for an administrator before it mounts: it, not this caller, ends a
// prompt left open.
XPCCodeAnswer DMNtfsWrapper::mountNTFSVolumeWithBsdName(const std::string& bsdName) {
    return waitForDaemon<DMNtfsServerProtocol>(
        ntfsXPCObj(), XPCCodeAnswer{-1, {}}, DaemonCallLimit::administrator, "mountNTFSVolumeWithBsdName",
        [&](DMNtfsServerProtocol& proxy, XPCCodeReply reply) { proxy.mountNTFSVolumeWithBsdName(bsdName, reply); });
}

void DMNtfsWrapper::setIgnoreHibernateFileWithFlag(bool flag) {
    if (auto proxy = ntfsXPCObj().remoteObject<DMNtfsServerProtocol>()) {
        proxy->setIgnoreHibernateFileWithFlag(flag);
    }
}

void DMNtfsWrapper::setEnableDebugLoggingWithFlag(bool flag) {
    if (auto proxy = ntfsXPCObj().remoteObject<DMNtfsServerProtocol>()) {
        proxy->setEnableDebugLoggingWithFlag(flag);
    }
}

}  // namespace harbormind
