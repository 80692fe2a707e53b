#include "xpc/dbus/DBusDiskToolsProxy.h"

namespace harbormind {

// Reading a disk's health, erasing and partitioning take seconds to minutes (a large
// NTFS or LUKS volume): each is answered when its work is done.
void DBusDiskToolsProxy::driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    askCode("driveHealthWithBsdname", true, std::move(reply), bsdname);
}
void DBusDiskToolsProxy::startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) {
    askCode("startSelfTestWithBsdname", false, std::move(reply), bsdname, extended);
}
void DBusDiskToolsProxy::partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    askCode("partitionTableWithBsdname", false, std::move(reply), bsdname);
}
void DBusDiskToolsProxy::eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem,
                                          const std::string& label, const std::string& password,
                                          XPCCodeReply reply) {
    askCode("eraseWithBsdname", true, std::move(reply), bsdname, fileSystem, label, password);
}
void DBusDiskToolsProxy::createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes,
                                                    std::int64_t sizeBytes, const std::string& fileSystem,
                                                    const std::string& label, const std::string& password,
                                                    XPCCodeReply reply) {
    askCode("createPartitionWithBsdname", true, std::move(reply), bsdname, startBytes, sizeBytes, fileSystem, label,
            password);
}
void DBusDiskToolsProxy::deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    askCode("deletePartitionWithBsdname", true, std::move(reply), bsdname);
}

// The descriptor is duplicated into the message: the caller keeps and closes its own.
void DBusDiskToolsProxy::checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) {
    askCode("checkImageRestoreWithBsdname", false, std::move(reply), bsdname, sdbus::UnixFd(imageFd));
}
// Starting a job may wait for an administrator's password.
void DBusDiskToolsProxy::createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                                    XPCCodeReply reply) {
    askCode("createDiskImageWithBsdname", true, std::move(reply), bsdname, sdbus::UnixFd(imageFd), compress);
}
void DBusDiskToolsProxy::restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) {
    askCode("restoreDiskImageWithBsdname", true, std::move(reply), bsdname, sdbus::UnixFd(imageFd));
}
void DBusDiskToolsProxy::diskImageStatusWithReply(XPCCodeReply reply) {
    askCode("diskImageStatusWithReply", false, std::move(reply));
}
void DBusDiskToolsProxy::stopDiskImageWithReply(XPCCodeReply reply) {
    askCode("stopDiskImageWithReply", false, std::move(reply));
}

}  // namespace harbormind
