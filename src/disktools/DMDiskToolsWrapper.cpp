#include "disktools/DMDiskToolsWrapper.h"

#include "disktools/SmartctlReport.h"
#include "xpc/DMDiskToolsServerProtocol.h"
#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

using P = DMDiskToolsServerProtocol;

const XPCCodeAnswer noAnswer{-1, "the helper service drivemanagerd gave no answer"};

}  // namespace

DMDiskToolsWrapper::DMDiskToolsWrapper()
    : diskToolsXPCObj_(std::make_unique<XPCRemoteObject>(XPCServiceName::diskTools)) {}

DMDriveHealth DMDiskToolsWrapper::health(const std::string& bsdname) {
    XPCCodeAnswer answer = waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::operation,
                                            "driveHealthWithBsdname", [&](P& proxy, XPCCodeReply reply) {
                                                proxy.driveHealthWithBsdname(bsdname, std::move(reply));
                                            });
    if (answer.code == P::done) {
        return SmartctlReport::parse(answer.message);
    }
    if (answer.code == P::notAvailable) {
        return DMDriveHealth::unavailable(answer.message);
    }
    DMDriveHealth health;
    health.reason = answer.message;
    return health;
}

XPCCodeAnswer DMDiskToolsWrapper::startSelfTest(const std::string& bsdname, bool extended) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::administrator, "startSelfTestWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.startSelfTestWithBsdname(bsdname, extended, std::move(reply));
                            });
}

std::optional<DMPartitionTable> DMDiskToolsWrapper::partitionTable(const std::string& bsdname, std::string& error) {
    XPCCodeAnswer answer = waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::operation,
                                            "partitionTableWithBsdname", [&](P& proxy, XPCCodeReply reply) {
                                                proxy.partitionTableWithBsdname(bsdname, std::move(reply));
                                            });
    if (answer.code != P::done) {
        error = answer.message;
        return std::nullopt;
    }
    auto table = DMPartitionTable::parse(answer.message);
    if (!table) {
        error = "the partition table of " + bsdname + " could not be read";
    }
    return table;
}

XPCCodeAnswer DMDiskToolsWrapper::erase(const std::string& bsdname, DMEraseFileSystem fileSystem,
                                        const std::string& label, const std::string& password) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, eraseLimit, "eraseWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.eraseWithBsdname(bsdname, DMEraseFileSystems::nameOf(fileSystem), label,
                                                       password, std::move(reply));
                            });
}

XPCCodeAnswer DMDiskToolsWrapper::createPartition(const std::string& disk, std::int64_t startBytes,
                                                  std::int64_t sizeBytes, DMEraseFileSystem fileSystem,
                                                  const std::string& label, const std::string& password) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, eraseLimit, "createPartitionWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.createPartitionWithBsdname(disk, startBytes, sizeBytes,
                                                                 DMEraseFileSystems::nameOf(fileSystem), label,
                                                                 password, std::move(reply));
                            });
}

XPCCodeAnswer DMDiskToolsWrapper::deletePartition(const std::string& bsdname) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, eraseLimit, "deletePartitionWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.deletePartitionWithBsdname(bsdname, std::move(reply));
                            });
}

XPCCodeAnswer DMDiskToolsWrapper::checkImageRestore(const std::string& bsdname, int imageFd) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::operation, "checkImageRestoreWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.checkImageRestoreWithBsdname(bsdname, imageFd, std::move(reply));
                            });
}

XPCCodeAnswer DMDiskToolsWrapper::createImage(const std::string& bsdname, int imageFd, bool compress) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::administrator, "createDiskImageWithBsdname",
                            [&](P& proxy, XPCCodeReply reply) {
                                proxy.createDiskImageWithBsdname(bsdname, imageFd, compress, std::move(reply));
                            });
}

XPCCodeAnswer DMDiskToolsWrapper::restoreImage(const std::string& bsdname, int imageFd) {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::administrator,
                            "restoreDiskImageWithBsdname", [&](P& proxy, XPCCodeReply reply) {
                                proxy.restoreDiskImageWithBsdname(bsdname, imageFd, std::move(reply));
                            });
}

DMDiskImageStatus DMDiskToolsWrapper::imageStatus() {
    XPCCodeAnswer answer = waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::operation,
                                            "diskImageStatusWithReply", [&](P& proxy, XPCCodeReply reply) {
                                                proxy.diskImageStatusWithReply(std::move(reply));
                                            });
    if (answer.code != P::done) {
        return DMDiskImageStatus::unknown(answer.message);
    }
    return DMDiskImageStatus::parse(answer.message);
}

XPCCodeAnswer DMDiskToolsWrapper::stopImage() {
    return waitForDaemon<P>(*diskToolsXPCObj_, noAnswer, DaemonCallLimit::operation, "stopDiskImageWithReply",
                            [&](P& proxy, XPCCodeReply reply) { proxy.stopDiskImageWithReply(std::move(reply)); });
}

}  // namespace harbormind
