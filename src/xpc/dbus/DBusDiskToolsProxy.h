#pragma once

#include "xpc/DMDiskToolsServerProtocol.h"
#include "xpc/dbus/DBusServiceProxy.h"

namespace harbormind {

// The disk tools service over the bus.
class DBusDiskToolsProxy final : public DBusServiceProxy, public DMDiskToolsServerProtocol {
public:
    DBusDiskToolsProxy(std::shared_ptr<DBusLink> link, std::string serviceName, XPCConnection::ErrorHandler onError)
        : DBusServiceProxy(std::move(link), std::move(serviceName), std::move(onError)) {}

    void driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) override;
    void partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem, const std::string& label,
                          const std::string& password, XPCCodeReply reply) override;
    void createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes, std::int64_t sizeBytes,
                                    const std::string& fileSystem, const std::string& label,
                                    const std::string& password, XPCCodeReply reply) override;
    void deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                    XPCCodeReply reply) override;
    void restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void diskImageStatusWithReply(XPCCodeReply reply) override;
    void stopDiskImageWithReply(XPCCodeReply reply) override;
};

}  // namespace harbormind
