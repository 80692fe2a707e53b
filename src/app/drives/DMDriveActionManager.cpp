#include "app/drives/DMDriveActionManager.h"

#include <QPointer>
#include <QWidget>

#include "app/drives/DMAsyncWork.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMDriveWindowFactory.h"
#include "app/drives/DMEventMonitor.h"
#include "app/drives/DMFirstAidFlow.h"
#include "app/drives/DMNetworkDriveFlow.h"
#include "app/drives/DMOpenLockFlow.h"
#include "app/drives/DMPowerStateActions.h"
#include "app/drives/DMUnmountFlow.h"
#include "drivemodel/DMDriveObjectProtocol.h"

namespace harbormind {
namespace {

// A dispatcher made without windows (the sleep and wake tests, say) opens none.
class NoWindows final : public DMDriveWindowFactory {
public:
    void unlock(const Drive&, QWidget*, std::function<void(const Drive&)>) override {}
    void encrypt(const Drive&, QWidget*) override {}
    void exportHeader(const Drive&, QWidget*) override {}
    void clone(const Drive&, QWidget*) override {}
    void resumeClone(const Drive&, QWidget*) override {}
    void erase(const Drive&, QWidget*) override {}
    void newPartition(const Drive&, QWidget*) override {}
    void deletePartition(const Drive&, QWidget*) override {}
    void junkClean(QWidget*) override {}
    void driveClean(const std::string&, QWidget*) override {}
    void firstAid(const Drive&, bool, QWidget*) override {}
    void editNetworkDrive(const Drive&, QWidget*) override {}
};

}  // namespace

DMDriveActionManager::DMDriveActionManager(std::shared_ptr<DMDriveOperations> operations,
                                           std::shared_ptr<DMAlertPresenter> presenter,
                                           std::shared_ptr<DMDriveWindowFactory> windows)
    : operations_(std::move(operations)),
      presenter_(std::move(presenter)),
      windows_(windows ? std::move(windows) : std::make_shared<NoWindows>()),
      openLock_(std::make_shared<DMOpenLockFlow>(operations_, presenter_)),
      mounting_(std::make_shared<DMMountFlow>(operations_, presenter_)),
      unmounting_(std::make_shared<DMUnmountFlow>(operations_, presenter_)),
      firstAid_(std::make_shared<DMFirstAidFlow>(operations_, presenter_, windows_)),
      network_(std::make_shared<DMNetworkDriveFlow>(operations_, presenter_, windows_)) {}

bool DMDriveActionManager::isActionAvailable(DMDriveAction action, DMDriveObjectCategory category) const {
    if (category == DMDriveObjectCategory::network) {
        return action == DMDriveAction::open || action == DMDriveAction::mount || action == DMDriveAction::unmount ||
               action == DMDriveAction::edit || action == DMDriveAction::remove;
    }
    switch (action) {
    case DMDriveAction::open:
    case DMDriveAction::unlock:
    case DMDriveAction::lock:
    case DMDriveAction::mount:
    case DMDriveAction::unmount:
    case DMDriveAction::eject:
    case DMDriveAction::encrypt:
    case DMDriveAction::clone:
    case DMDriveAction::resumeClone:
    case DMDriveAction::junkClean:
    case DMDriveAction::driveClean:
    case DMDriveAction::firstAid:
    case DMDriveAction::erase:
    case DMDriveAction::newPartition:
    case DMDriveAction::deletePartition:
    case DMDriveAction::exportHeader:
        return true;
    default:
        return false;
    }
}

void DMDriveActionManager::perform(DMDriveAction action, const Drive& drive, QWidget* window, Completion completion) {
    // A network drive whose manager is not the network manager does nothing; lock and mount
    // still answer, with failure, so a caller waiting for them is not left waiting.
    if (drive && drive->category() == DMDriveObjectCategory::network && !operations_->isNetworkDrive(drive) &&
        (action == DMDriveAction::lock || action == DMDriveAction::mount)) {
        finishAction(completion, -1);
        return;
    }
    if (!drive || !isActionAvailable(action, drive->category())) {
        return;
    }
    if (drive->category() == DMDriveObjectCategory::network) {
        network_->perform(action, drive, window, std::move(completion));
        return;
    }
    if ((action == DMDriveAction::open || action == DMDriveAction::driveClean) && loadGuard_ && !loadGuard_(drive)) {
        finishAction(completion, -1);
        return;
    }
    if (!openFeatureWindow(action, drive, window)) {
        performLocal(action, drive, window, std::move(completion));
    }
}

void DMDriveActionManager::performLocal(DMDriveAction action, const Drive& drive, QWidget* window,
                                        Completion completion) {
    switch (action) {
    case DMDriveAction::open: openLock_->open(drive, window, std::move(completion)); break;
    case DMDriveAction::lock: openLock_->lock(drive, window, std::move(completion)); break;
    case DMDriveAction::mount: mountAfterGuard(drive, window, std::move(completion)); break;
    case DMDriveAction::unmount: unmounting_->unmount(drive, window, std::move(completion)); break;
    case DMDriveAction::eject: unmounting_->eject(drive, window, std::move(completion)); break;
    case DMDriveAction::firstAid: firstAid_->start(drive, window); break;
    case DMDriveAction::driveClean: openDriveClean(drive, window); break;
    default: break;
    }
}

void DMDriveActionManager::mountAfterGuard(const Drive& drive, QWidget* window, Completion completion) {
    if (!mountGuard_) {
        mounting_->mount(drive, window, std::move(completion));
        return;
    }
    QPointer<QWidget> sheetWindow(window);
    auto mounting = mounting_;
    mountGuard_(drive, [mounting, drive, sheetWindow, completion] { mounting->mount(drive, sheetWindow.data(), completion); });
}

bool DMDriveActionManager::openFeatureWindow(DMDriveAction action, const Drive& drive, QWidget* window) {
    switch (action) {
    case DMDriveAction::unlock: unlock(drive, window); return true;
    case DMDriveAction::encrypt: windows_->encrypt(drive, window); return true;
    case DMDriveAction::exportHeader: windows_->exportHeader(drive, window); return true;
    case DMDriveAction::junkClean: windows_->junkClean(window); return true;
    case DMDriveAction::clone: windows_->clone(drive, window); return true;
    case DMDriveAction::resumeClone: windows_->resumeClone(drive, window); return true;
    case DMDriveAction::erase: windows_->erase(drive, window); return true;
    case DMDriveAction::newPartition: windows_->newPartition(drive, window); return true;
    case DMDriveAction::deletePartition: windows_->deletePartition(drive, window); return true;
    default: return false;
    }
}

void DMDriveActionManager::unlock(const Drive& drive, QWidget* window) {
    std::weak_ptr<DMDriveActionManager> weak = weak_from_this();
    windows_->unlock(drive, window, [weak](const Drive& unlocked) {
        if (auto self = weak.lock()) {
            self->driveUnlocked(unlocked);
        }
    });
}

void DMDriveActionManager::startEventMonitor(SleepWakeNotifications* notifications,
                                             DMConfigurationManager& configuration) {
    powerStateActions_ = std::make_shared<DMPowerStateActions>(operations_, configuration);
    eventMonitor_ = std::make_shared<DMEventMonitor>(notifications);
    eventMonitor_->setDelegate(weak_from_this());
}

void DMDriveActionManager::powerStateChanged(bool isSleep, std::function<void()> done) {
    if (!powerStateActions_) {
        done();
        return;
    }
    powerStateActions_->run(isSleep, std::move(done));
}

void DMDriveActionManager::openDriveClean(const Drive& drive, QWidget* window) {
    auto operations = operations_;
    auto windows = windows_;
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<std::optional<std::string>>(
        [operations, drive] { return operations->driveClearPath(drive); },
        [windows, sheetWindow](std::optional<std::string> path) {
            // A drive without a mount point, or one that may not be cleared, opens nothing.
            if (path) {
                windows->driveClean(*path, sheetWindow.data());
            }
        });
}

void DMDriveActionManager::performOnAllNetworkDrives(DMDriveAction action) {
    for (const Drive& drive : operations_->networkDrives()) {
        perform(action, drive, nullptr, nullptr);
    }
}

void DMDriveActionManager::driveUnlocked(const Drive& drive, std::function<void(bool opened)> done) {
    auto operations = operations_;
    DMAsyncWork::run<bool>(
        [operations, drive] {
            return operations->isLocalDrive(drive) && operations->automaticallyOpenDrivesAfterUnlocking() &&
                   operations->isMounted(drive) && operations->open(drive) == 0;
        },
        [done = std::move(done)](bool opened) {
            if (done) {
                done(opened);
            }
        });
}

void DMDriveActionManager::unmountAllExternalDrives() {
    unmounting_->unmountAllExternalDrives();
}

}  // namespace harbormind
