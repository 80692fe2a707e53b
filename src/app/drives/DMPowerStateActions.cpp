#include "app/drives/DMPowerStateActions.h"

#include "app/drives/DMDriveOperations.h"
#include "config/DMConfigurationManager.h"
#include "support/Dispatch.h"

namespace harbormind {

// Counts the actions still running and calls `done` once, when the last one answers or the
// time limit passes. Used on the main queue only.
class DMPowerStateActions::Batch {
public:
    explicit Batch(std::function<void()> done) : done_(std::move(done)) {}

    void started() { ++pending_; }
    void answered() {
        --pending_;
        finishIfIdle();
    }
    void finishIfIdle() {
        if (pending_ <= 0) {
            finish();
        }
    }
    void finish() {
        if (done_) {
            auto done = std::move(done_);
            done_ = nullptr;
            done();
        }
    }

private:
    std::function<void()> done_;
    int pending_ = 0;
};

DMPowerStateActions::DMPowerStateActions(std::shared_ptr<DMDriveOperations> operations,
                                         DMConfigurationManager& configuration)
    : operations_(std::move(operations)), configuration_(configuration) {}

void DMPowerStateActions::run(bool isSleep, std::function<void()> done) {
    auto self = shared_from_this();
    std::function<void()> whenSleepStepsDone = std::move(done);
    if (!isSleep) {
        // Connecting comes last, after the disconnects of the sleep steps have answered, so a
        // drive is not disconnected again right after it connected.
        whenSleepStepsDone = [self, finished = std::move(whenSleepStepsDone)] {
            auto connecting = std::make_shared<Batch>(finished);
            self->connectNetworkDrives(connecting);
            connecting->finishIfIdle();
        };
    }
    auto batch = std::make_shared<Batch>(std::move(whenSleepStepsDone));
    Dispatch::main().asyncAfter(seconds(timeLimit), [batch] { batch->finish(); });
    startSleepSteps(batch);
    batch->finishIfIdle();
}

void DMPowerStateActions::startSleepSteps(const std::shared_ptr<Batch>& batch) {
    auto operations = operations_;
    // Each background answer comes back to the main queue, where the batch lives.
    auto inBackground = [batch](std::function<void()> work) {
        batch->started();
        Dispatch::global()->async([batch, work = std::move(work)] {
            work();
            Dispatch::main().async([batch] { batch->answered(); });
        });
    };
    if (configuration_.automaticallyUnmountExternalDrivesOnSleep()) {
        inBackground([operations] {
            for (const auto& drive : operations->externalRootDrives()) {
                operations->unmount(drive, DMUnmountOption::plain);
            }
        });
    }
    if (configuration_.automaticallyDisconnectNetworkDrivesOnSleep()) {
        for (const auto& drive : operations->networkDrives()) {
            batch->started();
            operations->disconnect(drive, [batch](int) { Dispatch::main().async([batch] { batch->answered(); }); });
        }
    }
    if (configuration_.automaticallyLockEncryptedDrivesOnSleep()) {
        inBackground([operations] {
            for (const auto& drive : operations->lockableDrives()) {
                operations->lock(drive);
            }
        });
    }
}

void DMPowerStateActions::connectNetworkDrives(const std::shared_ptr<Batch>& batch) {
    if (!configuration_.automaticallyConnectNetworkDrivesOnWake()) {
        return;
    }
    for (const auto& drive : operations_->networkDrives()) {
        batch->started();
        operations_->connect(drive, [batch](int) { Dispatch::main().async([batch] { batch->answered(); }); });
    }
}

}  // namespace harbormind
