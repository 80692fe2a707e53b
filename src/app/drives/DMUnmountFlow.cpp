#include "app/drives/DMUnmountFlow.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include <vector>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/drives/DMAsyncWork.h"
#include "app/drives/DMDriveOperations.h"
#include "drivemodel/DMLocalDriveManager.h"

namespace harbormind {
namespace {

// A drive operation's answer with the drive's name, read away from the user interface.
struct NamedResult {
    bool local = false;
    std::string name;
    DMOperationResult result;
};

}  // namespace

DMUnmountFlow::DMUnmountFlow(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter)
    : DMDriveFlow(std::move(operations), std::move(presenter)) {}

void DMUnmountFlow::unmount(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    remove(Removal::unmount, drive, window, std::move(completion));
}

void DMUnmountFlow::eject(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    remove(Removal::eject, drive, window, std::move(completion));
}

void DMUnmountFlow::remove(Removal removal, const Drive& drive, QWidget* window, DMActionCompletion completion) {
    auto operations = operations_;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<NamedResult>(
        [operations, drive, removal] {
            NamedResult outcome;
            outcome.local = operations->isLocalDrive(drive);
            if (outcome.local) {
                outcome.result = removal == Removal::eject ? operations->eject(drive)
                                                           : operations->unmount(drive, DMUnmountOption::plain);
                outcome.name = outcome.result.succeeded() ? std::string() : operations->name(drive);
            }
            return outcome;
        },
        [self, removal, drive, sheetWindow, completion](NamedResult outcome) {
            if (!outcome.local) {
                return;
            }
            if (removal == Removal::unmount && outcome.result.code == DMLocalDriveManager::busyCode) {
                self->offerForcedUnmount(drive, outcome.name, outcome.result.message, sheetWindow.data(), completion);
                return;
            }
            if (!outcome.result.succeeded()) {
                self->showFailure(removal, outcome.name, outcome.result.message, sheetWindow.data());
            }
            finishAction(completion, outcome.result.code);
        });
}

void DMUnmountFlow::offerForcedUnmount(const Drive& drive, const std::string& driveName, const std::string& reason,
                                       QWidget* window, DMActionCompletion completion) {
    // Cancel is the default and the Escape answer: forcing is only ever the user's click.
    DMAlert alert{DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTitleFormat), driveName),
                  DMTextFormat::withText(DMTr::text(DMTexts::volumeInUseTextFormat), reason),
                  {DMTr::text(DMTexts::cancelButton), DMTr::text(DMTexts::forceUnmountButton)},
                  0};
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    presenter_->present(alert, window, [self, drive, driveName, sheetWindow, completion](int button) {
        if (button != 1) {
            finishAction(completion, DMLocalDriveManager::busyCode);
            return;
        }
        auto operations = self->operations_;
        DMAsyncWork::run<DMOperationResult>(
            [operations, drive] { return operations->unmount(drive, DMUnmountOption::force); },
            [self, driveName, sheetWindow, completion](DMOperationResult result) {
                if (!result.succeeded()) {
                    self->showFailure(Removal::unmount, driveName, result.message, sheetWindow.data());
                }
                finishAction(completion, result.code);
            });
    });
}

void DMUnmountFlow::showFailure(Removal removal, const std::string& driveName, const std::string& reason,
                                QWidget* window) {
    const bool eject = removal == Removal::eject;
    const char* titleFormat =
        eject ? DMTr::text(DMTexts::ejectFailedTitleFormat) : DMTr::text(DMTexts::unmountFailedTitleFormat);
    DMAlert alert{DMTextFormat::withText(titleFormat, driveName), reason, {DMTr::text(DMTexts::okButton)}};
    // A caller the daemon refused learns what to do; its words stay under that.
    if (DMFailureText::isNotAuthorized(reason)) {
        alert.text = DMFailureText::notAllowed(eject ? DMFailureText::Action::eject : DMFailureText::Action::unmount);
        alert.informativeText = reason;
    }
    presenter_->present(alert, window, nullptr);
}

void DMUnmountFlow::unmountAllExternalDrives() {
    auto operations = operations_;
    auto self = shared_from_this();
    DMAsyncWork::run<std::vector<Drive>>([operations] { return operations->externalRootDrives(); },
                                              [self](std::vector<Drive> drives) {
                                                  for (const Drive& drive : drives) {
                                                      self->unmount(drive, nullptr, nullptr);
                                                  }
                                              });
}

}  // namespace harbormind
