#include "app/drives/DMDriveActionManager.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include "app/common/DMAlertPresenter.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMDriveWindowFactory.h"
#include "app/drives/DMEventMonitor.h"
#include "app/drives/DMPowerStateActions.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMFirstAidTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "platform/NetworkMountStatus.h"
#include "support/Dispatch.h"
#include "xpc/NtfsMountResult.h"

namespace harbormind {
namespace {

bool needsDriver(DMDriveObjectFilesystem fileSystem) {
    return fileSystem == DMDriveObjectFilesystem::ntfs || fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted;
}

// The hibernation setting goes to the daemon with every mount, so a setting switched off
// since the last mount never removes a hibernation file.
DMOperationResult mountNtfs(DMDriveOperations& operations, const DMDriveOperations::Drive& drive) {
    operations.setIgnoreHibernateFile(operations.ignoreHibernationFileWhenMountingNtfsDrives());
    return operations.mountAsNTFSWithReason(drive);
}

bool mountedAsNtfs(int code) {
    return code == NtfsMountResult::mounted || code == NtfsMountResult::mountedReadOnly;
}

void finish(const DMDriveActionManager::Completion& completion, int code) {
    if (completion) {
        completion(code, std::nullopt);
    }
}

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
      windows_(windows ? std::move(windows) : std::make_shared<NoWindows>()) {}

template <typename Result>
void DMDriveActionManager::inBackground(std::function<Result()> work, std::function<void(Result)> then) {
    auto self = shared_from_this();
    Dispatch::global()->async([self, work = std::move(work), then = std::move(then)] {
        Result result = work();
        Dispatch::main().async([self, then, result] { then(result); });
    });
}

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
        finish(completion, -1);
        return;
    }
    if (!drive || !isActionAvailable(action, drive->category())) {
        return;
    }
    if (drive->category() == DMDriveObjectCategory::network) {
        performNetwork(action, drive, window, std::move(completion));
        return;
    }
    if ((action == DMDriveAction::open || action == DMDriveAction::driveClean) && loadGuard_ && !loadGuard_(drive)) {
        finish(completion, -1);
        return;
    }
    if (openFeatureWindow(action, drive, window)) {
        return;
    }
    switch (action) {
    case DMDriveAction::open:
        open(drive, window, std::move(completion));
        break;
    case DMDriveAction::lock:
        lock(drive, window, std::move(completion));
        break;
    case DMDriveAction::mount:
        if (mountGuard_) {
            QPointer<QWidget> sheetWindow(window);
            auto self = shared_from_this();
            mountGuard_(drive, [self, drive, sheetWindow, completion] { self->mount(drive, sheetWindow.data(), completion); });
        } else {
            mount(drive, window, std::move(completion));
        }
        break;
    case DMDriveAction::unmount:
        unmount(drive, window, std::move(completion));
        break;
    case DMDriveAction::eject:
        eject(drive, window, std::move(completion));
        break;
    case DMDriveAction::firstAid:
        firstAid(drive, window);
        break;
    case DMDriveAction::driveClean:
        openDriveClean(drive, window);
        break;
    default:
        break;
    }
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
    QPointer<QWidget> sheetWindow(window);
    inBackground<std::optional<std::string>>(
        [operations, drive] { return operations->driveClearPath(drive); },
        [this, sheetWindow](std::optional<std::string> path) {
            // A drive without a mount point, or one that may not be cleared, opens nothing.
            if (path) {
                windows_->driveClean(*path, sheetWindow.data());
            }
        });
}

void DMDriveActionManager::open(const Drive& drive, QWidget* window, Completion completion) {
    struct Facts {
        bool local = false;
        bool needsDriver = false;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Facts>(
        [operations, drive] {
            Facts facts;
            facts.local = operations->isLocalDrive(drive);
            facts.needsDriver = facts.local && needsDriver(operations->fileSystem(drive)) && !operations->isDriverInstalled();
            return facts;
        },
        [this, operations, presenter, drive, sheetWindow, completion](Facts facts) {
            if (!facts.local) {
                return;
            }
            auto openDrive = [this, operations, drive, sheetWindow, completion] {
                struct Opened {
                    DMOperationResult result;
                    std::string name;
                };
                inBackground<Opened>(
                    [operations, drive] {
                        Opened opened{operations->openWithReason(drive), {}};
                        if (!opened.result.succeeded()) {
                            opened.name = operations->name(drive);
                        }
                        return opened;
                    },
                    [this, sheetWindow, completion](Opened opened) {
                        if (!opened.result.succeeded()) {
                            // The reason names the mount point, for the user to open it by other means.
                            std::string text = DMFailureText::sentence(opened.result.message);
                            presenter_->present({DMTextFormat::withText(DMTr::text(DMTexts::openFailedTitleFormat), opened.name),
                                                 text.empty() ? std::string(DMTr::text(DMTexts::openFailedText)) : text,
                                                 {DMTr::text(DMTexts::okButton)}},
                                                sheetWindow.data(), nullptr);
                        }
                        finish(completion, opened.result.code);
                    });
            };
            if (!facts.needsDriver) {
                openDrive();
                return;
            }
            DMAlert alert{DMTr::text(DMTexts::installNtfsDriverTitle), DMTr::text(DMTexts::installNtfsDriverText),
                          {DMTr::text(DMTexts::installButton), DMTr::text(DMTexts::cancelButton)}};
            presenter->present(alert, sheetWindow.data(), [this, operations, openDrive](int button) {
                if (button == 0 && operations->canInstallDriver()) {
                    inBackground<int>(
                        [operations] {
                            operations->installDriver();
                            return 0;
                        },
                        [openDrive](int) { openDrive(); });
                    return;
                }
                openDrive();
            });
        });
}

void DMDriveActionManager::lock(const Drive& drive, QWidget* window, Completion completion) {
    struct Facts {
        bool local = false;
        bool needsDriver = false;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    QPointer<QWidget> sheetWindow(window);
    auto lockDrive = [this, operations, drive, completion] {
        inBackground<int>([operations, drive] { return operations->lock(drive); },
                          [completion](int code) { finish(completion, code); });
    };
    inBackground<Facts>(
        [operations, drive] {
            Facts facts;
            facts.local = operations->isLocalDrive(drive);
            facts.needsDriver = facts.local &&
                                operations->fileSystem(drive) == DMDriveObjectFilesystem::bitlocker_encrypted &&
                                !operations->isDriverInstalled();
            return facts;
        },
        [this, operations, presenter, sheetWindow, completion, lockDrive](Facts facts) {
            if (!facts.local) {
                finish(completion, -1);
                return;
            }
            if (!facts.needsDriver) {
                lockDrive();
                return;
            }
            DMAlert alert{DMTr::text(DMTexts::needExtensionTitle), DMTr::text(DMTexts::needExtensionText),
                          {DMTr::text(DMTexts::installButton), DMTr::text(DMTexts::cancelButton)}};
            presenter->present(alert, sheetWindow.data(), [this, operations, lockDrive](int button) {
                if (button != 0 || !operations->canInstallDriver()) {
                    return;
                }
                inBackground<int>(
                    [operations] {
                        operations->installDriver();
                        return 0;
                    },
                    [lockDrive](int) { lockDrive(); });
            });
        });
}

void DMDriveActionManager::mount(const Drive& drive, QWidget* window, Completion completion) {
    struct Outcome {
        bool local = false;
        bool throughDaemon = false;
        int code = -1;
        std::string reason;
        DMDriveObjectFilesystem fileSystem = DMDriveObjectFilesystem::unknown;
    };
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Outcome>(
        [operations, drive] {
            Outcome outcome;
            outcome.local = operations->isLocalDrive(drive);
            if (outcome.local) {
                outcome.fileSystem = operations->fileSystem(drive);
                outcome.throughDaemon = outcome.fileSystem == DMDriveObjectFilesystem::ntfs && operations->isDriverInstalled();
                if (outcome.throughDaemon) {
                    DMOperationResult result = mountNtfs(*operations, drive);
                    outcome.code = result.code;
                    outcome.reason = mountedAsNtfs(result.code) ? std::string() : result.message;
                } else {
                    DMOperationResult result = operations->mountWithReason(drive);
                    outcome.code = result.code;
                    outcome.reason = result.message;
                }
            }
            return outcome;
        },
        [this, drive, sheetWindow, completion](Outcome outcome) {
            if (!outcome.local) {
                finish(completion, -1);
                return;
            }
            if (outcome.throughDaemon && !mountedAsNtfs(outcome.code)) {
                reportMountFailure({outcome.code, outcome.reason}, sheetWindow.data(), completion);
                return;
            }
            if (outcome.fileSystem != DMDriveObjectFilesystem::ntfs) {
                // A failure carries the system's reason, for the alert to show under its text.
                if (outcome.code != 0 && completion) {
                    completion(-1, outcome.reason.empty() ? std::nullopt : std::optional<std::string>(outcome.reason));
                    return;
                }
                finish(completion, outcome.code == 0 ? 0 : -1);
                return;
            }
            auto self = shared_from_this();
            Dispatch::main().asyncAfter(seconds(ntfsFirstCheckDelay), [self, drive, sheetWindow, completion] {
                self->checkNtfsAccess(drive, sheetWindow.data(), completion, false);
            });
        });
}

void DMDriveActionManager::checkNtfsAccess(const Drive& drive, QWidget* window, Completion completion,
                                           bool afterRemount) {
    struct Access {
        int mode = 2;
        bool hibernationFile = false;
        std::string name;
    };
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Access>(
        [operations, drive, afterRemount] {
            Access access;
            access.mode = operations->accessMode(drive);
            if (access.mode == 0) {
                access.name = operations->name(drive);
                if (!afterRemount) {
                    access.hibernationFile = operations->hasHibernationFile(drive);
                }
            }
            return access;
        },
        [this, operations, drive, sheetWindow, completion, afterRemount](Access access) {
            if (access.mode != 0) {
                finish(completion, access.mode == 1 ? 0 : -1);
                return;
            }
            if (afterRemount || !access.hibernationFile) {
                finish(completion, 0);
                showReadOnlyAlert(access.name, sheetWindow.data());
                return;
            }
            if (!operations->ignoreHibernationFileWhenMountingNtfsDrives()) {
                finish(completion, 0);
                Dispatch::global()->async([operations] { operations->setIgnoreHibernateFile(false); });
                return;
            }
            // The volume was left read-only because Windows hibernated on it: mount it again
            // ignoring the hibernation file, and look once more a little later.
            auto self = shared_from_this();
            inBackground<DMOperationResult>(
                [operations, drive] {
                    operations->setIgnoreHibernateFile(true);
                    operations->unmount(drive, DMUnmountOption::plain);
                    return operations->isDriverInstalled() ? operations->mountAsNTFSWithReason(drive)
                                                           : operations->mountWithReason(drive);
                },
                [self, drive, sheetWindow, completion](DMOperationResult result) {
                    if (!mountedAsNtfs(result.code)) {
                        self->reportMountFailure(result, sheetWindow.data(), completion);
                        return;
                    }
                    Dispatch::main().asyncAfter(seconds(ntfsSecondCheckDelay), [self, drive, sheetWindow, completion] {
                        self->checkNtfsAccess(drive, sheetWindow.data(), completion, true);
                    });
                });
        });
}

void DMDriveActionManager::reportMountFailure(const DMOperationResult& result, QWidget* window,
                                              const Completion& completion) {
    if (completion) {
        completion(result.code, result.message.empty() ? std::nullopt : std::optional<std::string>(result.message));
        return;
    }
    DMAlert alert{DMTr::text(DMTexts::errorTitle), DMFailureText::mountFailure(result.code, result.message),
                  {DMTr::text(DMTexts::okButton)}};
    alert.informativeText = result.message;
    presenter_->present(alert, window, nullptr);
}

void DMDriveActionManager::showReadOnlyAlert(const std::string& driveName, QWidget* window) {
    DMAlert alert{DMTextFormat::withText(DMTr::text(DMTexts::readOnlyTitleFormat), driveName),
                  DMTextFormat::withText(DMTr::text(DMTexts::readOnlyTextFormat), driveName),
                  {DMTr::text(DMTexts::viewDetails), DMTr::text(DMTexts::notNow)}};
    auto operations = operations_;
    presenter_->present(alert, window, [operations](int button) {
        if (button == 0) {
            operations->openURL(ntfsHelpURL);
        }
    });
}

void DMDriveActionManager::firstAid(const Drive& drive, QWidget* window) {
    struct Facts {
        bool local = false;
        bool asks = false;
        std::string name;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    QPointer<QWidget> sheetWindow(window);
    inBackground<Facts>(
        [operations, drive] {
            Facts facts;
            facts.local = operations->isLocalDrive(drive);
            if (facts.local) {
                DMDriveObjectFilesystem fileSystem = operations->fileSystem(drive);
                facts.asks = fileSystem == DMDriveObjectFilesystem::ntfs ||
                             (fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted &&
                              operations->bitLockerFileSystem(drive) == DMDriveObjectFilesystem::ntfs);
                facts.name = operations->name(drive);
            }
            return facts;
        },
        [this, presenter, drive, sheetWindow](Facts facts) {
            if (!facts.local) {
                return;
            }
            if (!facts.asks) {
                windows_->firstAid(drive, false, sheetWindow.data());
                return;
            }
            DMAlert alert{DMTr::text(DMFirstAidTexts::alertMessage), DMTextFormat::withText(DMTr::text(DMFirstAidTexts::alertTextFormat), facts.name),
                          {DMTr::text(DMFirstAidTexts::checkButton), DMTr::text(DMFirstAidTexts::repairButton), DMTr::text(DMFirstAidTexts::cancelButton)}};
            auto self = shared_from_this();
            presenter->present(alert, sheetWindow.data(), [self, drive, sheetWindow](int button) {
                if (button == 0 || button == 1) {
                    self->windows_->firstAid(drive, button == 1, sheetWindow.data());
                }
            });
        });
}

void DMDriveActionManager::performNetwork(DMDriveAction action, const Drive& drive, QWidget* window,
                                          Completion completion) {
    if (!operations_->isNetworkDrive(drive)) {
        return;
    }
    auto operations = operations_;
    switch (action) {
    case DMDriveAction::open:
        operations->openNetworkDrive(drive);
        break;
    case DMDriveAction::mount: {
        auto self = shared_from_this();
        operations->connectWithReason(drive, [self, operations, drive, completion](DMOperationResult result) {
            Dispatch::main().async([operations, drive, completion, result] {
                if (result.code != 0 && completion && !result.message.empty()) {
                    completion(result.code, result.message);
                    return;
                }
                finish(completion, result.code);
                if (result.code == 0 && operations->automaticallyOpenDrivesAfterConnecting()) {
                    operations->openNetworkDrive(drive);
                }
            });
        });
        break;
    }
    case DMDriveAction::unmount: {
        // A drive that stays connected (files still on their way to the server, or open)
        // says why; it is never reported as disconnected.
        QPointer<QWidget> sheetWindow(window);
        auto presenter = presenter_;
        operations->disconnect(drive, [presenter, sheetWindow, completion](int code) {
            Dispatch::main().async([presenter, sheetWindow, completion, code] {
                finish(completion, code);
                if (code != 0) {
                    presenter->present({DMTr::text(DMTexts::disconnectFailed), NetworkMountStatus::describe(code), {DMTr::text(DMTexts::okButton)}},
                                       sheetWindow.data(), nullptr);
                }
            });
        });
        break;
    }
    case DMDriveAction::edit:
        windows_->editNetworkDrive(drive, window);
        break;
    case DMDriveAction::remove: {
        DMAlert alert{DMTr::text(DMTexts::deleteDriveTitle), DMTr::text(DMTexts::deleteDriveText), {DMTr::text(DMTexts::confirmButton), DMTr::text(DMTexts::cancelButton)}};
        presenter_->present(alert, window, [operations, drive](int button) {
            if (button == 0) {
                operations->removeNetworkDrive(drive);
            }
        });
        break;
    }
    default:
        break;
    }
}

namespace {

// A drive operation's answer with the drive's name, read away from the user interface.
struct NamedResult {
    bool local = false;
    std::string name;
    DMOperationResult result;
};

}  // namespace

void DMDriveActionManager::unmount(const Drive& drive, QWidget* window, Completion completion) {
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    inBackground<NamedResult>(
        [operations, drive] {
            NamedResult outcome;
            outcome.local = operations->isLocalDrive(drive);
            if (outcome.local) {
                outcome.result = operations->unmount(drive, DMUnmountOption::plain);
                outcome.name = outcome.result.succeeded() ? std::string() : operations->name(drive);
            }
            return outcome;
        },
        [self, drive, sheetWindow, completion](NamedResult outcome) {
            if (!outcome.local) {
                return;
            }
            if (outcome.result.code == DMLocalDriveManager::busyCode) {
                self->offerForcedUnmount(drive, outcome.name, outcome.result.message, sheetWindow.data(), completion);
                return;
            }
            if (!outcome.result.succeeded()) {
                self->showFailure(DMTr::text(DMTexts::unmountFailedTitleFormat), outcome.name, outcome.result.message,
                                  sheetWindow.data());
            }
            finish(completion, outcome.result.code);
        });
}

void DMDriveActionManager::offerForcedUnmount(const Drive& drive, const std::string& driveName,
                                              const std::string& reason, QWidget* window, Completion completion) {
    // Cancel is the default and the Escape answer: forcing is only ever the user's click.
    DMAlert alert{DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTitleFormat), driveName),
                  DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTextFormat), reason),
                  {DMTr::text(DMTexts::cancelButton), DMTr::text(DMTexts::forceUnmountButton)},
                  0};
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    presenter_->present(alert, window, [self, drive, driveName, sheetWindow, completion](int button) {
        if (button != 1) {
            finish(completion, DMLocalDriveManager::busyCode);
            return;
        }
        auto operations = self->operations_;
        self->inBackground<DMOperationResult>(
            [operations, drive] { return operations->unmount(drive, DMUnmountOption::force); },
            [self, driveName, sheetWindow, completion](DMOperationResult result) {
                if (!result.succeeded()) {
                    self->showFailure(DMTr::text(DMTexts::unmountFailedTitleFormat), driveName, result.message, sheetWindow.data());
                }
                finish(completion, result.code);
            });
    });
}

void DMDriveActionManager::eject(const Drive& drive, QWidget* window, Completion completion) {
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    inBackground<NamedResult>(
        [operations, drive] {
            NamedResult outcome;
            outcome.local = operations->isLocalDrive(drive);
            if (outcome.local) {
                outcome.result = operations->eject(drive);
                outcome.name = outcome.result.succeeded() ? std::string() : operations->name(drive);
            }
            return outcome;
        },
        [self, sheetWindow, completion](NamedResult outcome) {
            if (!outcome.local) {
                return;
            }
            // An eject never forces: a disk is only taken away when nothing uses it.
            if (!outcome.result.succeeded()) {
                self->showFailure(DMTr::text(DMTexts::ejectFailedTitleFormat), outcome.name, outcome.result.message,
                                  sheetWindow.data());
            }
            finish(completion, outcome.result.code);
        });
}

void DMDriveActionManager::showFailure(const char* titleFormat, const std::string& driveName,
                                       const std::string& reason, QWidget* window) {
    DMAlert alert{DMTextFormat::withText(titleFormat, driveName), reason, {DMTr::text(DMTexts::okButton)}};
    // A caller the daemon refused learns what to do; its words stay under that.
    if (DMFailureText::isNotAuthorized(reason)) {
        const bool eject = std::string(titleFormat) == DMTr::text(DMTexts::ejectFailedTitleFormat);
        alert.text = DMFailureText::notAllowed(eject ? DMFailureText::Action::eject : DMFailureText::Action::unmount);
        alert.informativeText = reason;
    }
    presenter_->present(alert, window, nullptr);
}

void DMDriveActionManager::performOnAllNetworkDrives(DMDriveAction action) {
    for (const Drive& drive : operations_->networkDrives()) {
        perform(action, drive, nullptr, nullptr);
    }
}

void DMDriveActionManager::driveUnlocked(const Drive& drive, std::function<void(bool opened)> done) {
    auto operations = operations_;
    inBackground<bool>(
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
    auto operations = operations_;
    auto self = shared_from_this();
    // Each drive goes the way of a single "Unmount": plain, and a busy one is explained.
    inBackground<std::vector<Drive>>([operations] { return operations->externalRootDrives(); },
                                     [self](std::vector<Drive> drives) {
                                         for (const Drive& drive : drives) {
                                             self->unmount(drive, nullptr, nullptr);
                                         }
                                     });
}

}  // namespace harbormind
