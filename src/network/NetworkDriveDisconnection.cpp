#include "network/NetworkDriveDisconnection.h"

#include "network/DMNetworkDriveObject.h"
#include "platform/NetworkMountStatus.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// How often a disconnect looks whether written files have reached the server.
constexpr Clock::Duration writesPollInterval = seconds(0.25);

}  // namespace

NetworkDriveDisconnection::NetworkDriveDisconnection(std::weak_ptr<const void> owner, NetworkMounter& mounter,
                                                     std::shared_ptr<DMNetworkDriveObject> drive,
                                                     std::string mountPoint, Options options, DMCompletion completion)
    : owner_(std::move(owner)),
      mounter_(mounter),
      drive_(std::move(drive)),
      mountPoint_(std::move(mountPoint)),
      deadline_(Clock::current().now() + options.writesLimit),
      options_(std::move(options)),
      completion_(std::move(completion)) {}

void NetworkDriveDisconnection::start(std::weak_ptr<const void> owner, NetworkMounter& mounter,
                                      std::shared_ptr<DMNetworkDriveObject> drive, std::string mountPoint,
                                      Options options, DMCompletion completion) {
    drive->setDisconnecting(true);
    drive->notifyDelegate();
    auto run = std::make_shared<NetworkDriveDisconnection>(std::move(owner), mounter, std::move(drive),
                                                           std::move(mountPoint), std::move(options),
                                                           std::move(completion));
    run->lookAgain(Clock::Duration::zero());
}

void NetworkDriveDisconnection::lookAgain(Clock::Duration delay) {
    auto self = shared_from_this();
    auto look = [self] {
        Dispatch::global()->async([self] {
            if (auto alive = self->owner_.lock()) {
                self->waitForWrites();
            } else {
                self->finish(-1);
            }
        });
    };
    if (delay == Clock::Duration::zero()) {
        look();
    } else {
        Clock::current().schedule(delay, look);
    }
}

void NetworkDriveDisconnection::waitForWrites() {
    int pending = mounter_.pendingWrites(mountPoint_);
    if (pending == 0) {
        finish(mounter_.unmountNow(mountPoint_, NetworkMounter::Unmount::Normal));
        return;
    }
    if (Clock::current().now() >= deadline_) {
        Log::warning("Not disconnecting " + mountPoint_ + ": " + std::to_string(pending) +
                     " written files have not reached the server");
        finish(NetworkMountStatus::writesPending);
        return;
    }
    if (pending != lastReported_ && options_.waiting) {
        options_.waiting(pending);
    }
    lastReported_ = pending;
    lookAgain(writesPollInterval);
}

void NetworkDriveDisconnection::finish(int status) {
    drive_->setDisconnecting(false);
    drive_->notifyDelegate();
    if (completion_) {
        completion_(status,
                    status == 0 ? std::nullopt : std::optional<std::string>(NetworkMountStatus::describe(status)));
    }
}

}  // namespace harbormind
