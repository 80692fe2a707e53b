#include "app/drives/DMMountFlow.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/drives/DMAsyncWork.h"
#include "app/drives/DMDriveOperations.h"
#include "support/Dispatch.h"
#include "xpc/NtfsMountResult.h"

namespace harbormind {
namespace {

// The hibernation setting goes to the daemon with every mount, so a setting switched off
// since the last mount never removes a hibernation file.
DMOperationResult mountNtfs(DMDriveOperations& operations, const DMDriveOperations::Drive& drive) {
    operations.setIgnoreHibernateFile(operations.ignoreHibernationFileWhenMountingNtfsDrives());
    return operations.mountAsNTFSWithReason(drive);
}

bool mountedAsNtfs(int code) {
    return code == NtfsMountResult::mounted || code == NtfsMountResult::mountedReadOnly;
}

}  // namespace

DMMountFlow::DMMountFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter)
    : DMDriveFlow(std::move(operations), std::move(presenter)) {}

void DMMountFlow::mount(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    struct Outcome {
        bool local = false;
        bool throughDaemon = false;
        int code = -1;
        std::string reason;
        DMDriveObjectFilesystem fileSystem = DMDriveObjectFilesystem::unknown;
    };
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<Outcome>(
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
        [self, drive, sheetWindow, completion](Outcome outcome) {
            if (!outcome.local) {
                finishAction(completion, -1);
                return;
            }
            if (outcome.throughDaemon && !mountedAsNtfs(outcome.code)) {
                self->reportMountFailure({outcome.code, outcome.reason}, sheetWindow.data(), completion);
                return;
            }
            if (outcome.fileSystem != DMDriveObjectFilesystem::ntfs) {
                // A failure carries the system's reason, for the alert to show under its text.
                if (outcome.code != 0 && completion) {
                    completion(-1, outcome.reason.empty() ? std::nullopt : std::optional<std::string>(outcome.reason));
                    return;
                }
                finishAction(completion, outcome.code == 0 ? 0 : -1);
                return;
            }
            Dispatch::main().asyncAfter(seconds(firstCheckDelay), [self, drive, sheetWindow, completion] {
                self->checkNtfsAccess(drive, sheetWindow.data(), completion, false);
            });
        });
}

void DMMountFlow::checkNtfsAccess(const Drive& drive, QWidget* window, DMActionCompletion completion,
                                  bool afterRemount) {
    struct Access {
        int mode = 2;
        bool hibernationFile = false;
        std::string name;
    };
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<Access>(
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
        [self, operations, drive, sheetWindow, completion, afterRemount](Access access) {
            if (access.mode != 0) {
                finishAction(completion, access.mode == 1 ? 0 : -1);
                return;
            }
            if (afterRemount || !access.hibernationFile) {
                finishAction(completion, 0);
                self->showReadOnlyAlert(access.name, sheetWindow.data());
                return;
            }
            if (!operations->ignoreHibernationFileWhenMountingNtfsDrives()) {
                finishAction(completion, 0);
                Dispatch::global()->async([operations] { operations->setIgnoreHibernateFile(false); });
                return;
            }
            self->remountIgnoringHibernation(drive, sheetWindow.data(), completion);
        });
}

// The volume was left read-only because Windows hibernated on it: mount it again ignoring the
// hibernation file, and look once more a little later.
void DMMountFlow::remountIgnoringHibernation(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<DMOperationResult>(
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
            Dispatch::main().asyncAfter(seconds(secondCheckDelay), [self, drive, sheetWindow, completion] {
                self->checkNtfsAccess(drive, sheetWindow.data(), completion, true);
            });
        });
}

void DMMountFlow::reportMountFailure(const DMOperationResult& result, QWidget* window,
                                     const DMActionCompletion& completion) {
    if (completion) {
        completion(result.code, result.message.empty() ? std::nullopt : std::optional<std::string>(result.message));
        return;
    }
    DMAlert alert{DMTr::text(DMTexts::errorTitle), DMFailureText::mountFailure(result.code, result.message),
                  {DMTr::text(DMTexts::okButton)}};
    alert.informativeText = result.message;
    presenter_->present(alert, window, nullptr);
}

void DMMountFlow::showReadOnlyAlert(const std::string& driveName, QWidget* window) {
    DMAlert alert{DMTextFormat::withText(DMTr::text(DMTexts::readOnlyTitleFormat), driveName),
                  DMTextFormat::withText(DMTr::text(DMTexts::readOnlyTextFormat), driveName),
                  {DMTr::text(DMTexts::viewDetails), DMTr::text(DMTexts::notNow)}};
    auto operations = operations_;
    presenter_->present(alert, window, [operations](int button) {
        if (button == 0) {
            operations->openURL(helpURL);
        }
    });
}

}  // namespace harbormind
