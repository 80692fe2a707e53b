#include "network/NetworkDriveConnection.h"

#include "network/DMNetworkDriveObject.h"
#include "network/DriveKeychains.h"
#include "network/NetworkDrivePath.h"
#include "network/NetworkDriveUUID.h"
#include "platform/NetworkMountStatus.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

using DriveRef = std::shared_ptr<DMNetworkDriveObject>;

// A finished mount request: its status, and on failure what the mounter said about it.
void complete(const DMCompletion& completion, const NetworkMountResult& result) {
    if (!completion) {
        return;
    }
    const bool failed = result.status != NetworkMountStatus::success && !result.message.empty();
    completion(result.status, failed ? std::optional<std::string>(result.message) : std::nullopt);
}

// A successful mount tells where the volume is before the volume list shows it, so what
// follows the connect (opening the drive) finds the mount point.
void takeMountPoint(DMNetworkDriveObject& drive, const NetworkMountResult& result) {
    if (result.status == NetworkMountStatus::success && !result.mountPoints.empty() && !drive.mountPoint()) {
        drive.setMountPoint(result.mountPoints.front());
        drive.refreshSizes();
    }
}

bool isFinal(const NetworkMountResult& result) {
    // A refused login is final, and so is the user's own cancel.
    return result.status == NetworkMountStatus::success ||
           result.status == NetworkMountStatus::authenticationRefused ||
           result.status == NetworkMountStatus::cancelled;
}

NetworkMountRequest requestFor(NetworkMounter& mounter, const DMNetworkDriveObject& drive, bool allowUserInterface) {
    NetworkMountRequest request;
    request.url = drive.urlString();
    request.mountDirectory = NetworkDrivePath::join(NetworkDrivePath::join(DriveKeychains::homeDirectory(), "mnt"),
                                                    NetworkDriveUUID::make());
    mounter.createMountDirectory(request.mountDirectory);
    request.guest = drive.anonymous();
    request.user = request.guest ? "guest" : drive.userName();
    request.password = request.guest ? "" : drive.password().value_or("");
    request.allowUserInterface = allowUserInterface;
    return request;
}

}  // namespace

void NetworkDriveConnection::start(std::weak_ptr<const void> owner, NetworkMounter& mounter, const DriveRef& drive,
                                   bool allowUserInterface, DMCompletion completion) {
    NetworkMountRequest request = requestFor(mounter, *drive, allowUserInterface);
    NetworkMounter* mounterRef = &mounter;
    drive->beginRequest([&] {
        return mounter.mountAsync(
            request, Dispatch::global(),
            [owner, mounterRef, drive, allowUserInterface, completion](NetworkMountResult result) {
                drive->setAsyncRequestID(std::nullopt);
                if (allowUserInterface) {
                    finishRetry(drive, result, completion);
                    return;
                }
                if (isFinal(result)) {
                    finished(drive, result, completion);
                    return;
                }
                Log::info("Connecting " + drive->urlString() + " failed (" + std::to_string(result.status) +
                          "); trying again with the system's dialogs");
                if (auto alive = owner.lock()) {
                    start(owner, *mounterRef, drive, true, completion);
                }
            });
    });
}

void NetworkDriveConnection::finished(const DriveRef& drive, const NetworkMountResult& result,
                                      const DMCompletion& completion) {
    takeMountPoint(*drive, result);
    drive->setConnecting(false);
    drive->notifyDelegate();
    complete(completion, result);
}

void NetworkDriveConnection::finishRetry(const DriveRef& drive, const NetworkMountResult& result,
                                         const DMCompletion& completion) {
    if (!result.mountPoints.empty()) {
        // The share the retry mounted names the folder; a folder that already ends in that
        // name is kept whole.
        std::string share = NetworkDrivePath::lastComponent(result.mountPoints.front());
        if (!share.empty() && share != "/" && NetworkDrivePath::lastComponent(drive->dir()) != share) {
            drive->setDir("/" + share);
        }
    }
    finished(drive, result, completion);
}

}  // namespace harbormind
