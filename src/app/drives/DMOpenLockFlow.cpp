#include "app/drives/DMOpenLockFlow.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include <string>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMFailureText.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/drives/DMAsyncWork.h"
#include "app/drives/DMDriveOperations.h"

namespace harbormind {

DMOpenLockFlow::DMOpenLockFlow(std::shared_ptr<DMDriveOperations> operations,
                               std::shared_ptr<DMAlertPresenter> presenter)
    : DMDriveFlow(std::move(operations), std::move(presenter)) {}

void DMOpenLockFlow::open(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    DriverGate gate{[](DMDriveObjectFilesystem fileSystem) {
                        return fileSystem == DMDriveObjectFilesystem::ntfs ||
                               fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted;
                    },
                    DMTexts::installNtfsDriverTitle, DMTexts::installNtfsDriverText, WithoutDriver::goOn};
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    afterDriverCheck(drive, window, gate, [] {},
                     [self, drive, sheetWindow, completion] { self->openNow(drive, sheetWindow.data(), completion); });
}

void DMOpenLockFlow::lock(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    DriverGate gate{[](DMDriveObjectFilesystem fileSystem) {
                        return fileSystem == DMDriveObjectFilesystem::bitlocker_encrypted;
                    },
                    DMTexts::needExtensionTitle, DMTexts::needExtensionText, WithoutDriver::stop};
    auto operations = operations_;
    afterDriverCheck(
        drive, window, gate, [completion] { finishAction(completion, -1); },
        [operations, drive, completion] {
            DMAsyncWork::run<int>([operations, drive] { return operations->lock(drive); },
                                       [completion](int code) { finishAction(completion, code); });
        });
}

void DMOpenLockFlow::afterDriverCheck(const Drive& drive, QWidget* window, const DriverGate& gate,
                                      std::function<void()> notLocal, std::function<void()> next) {
    struct Facts {
        bool local = false;
        bool needsDriver = false;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<Facts>(
        [operations, drive, needsDriver = gate.needsDriver] {
            Facts facts;
            facts.local = operations->isLocalDrive(drive);
            facts.needsDriver = facts.local && needsDriver(operations->fileSystem(drive)) && !operations->isDriverInstalled();
            return facts;
        },
        [operations, presenter, sheetWindow, gate, notLocal, next](Facts facts) {
            if (!facts.local) {
                notLocal();
                return;
            }
            if (!facts.needsDriver) {
                next();
                return;
            }
            DMAlert alert{DMTr::text(gate.title), DMTr::text(gate.text),
                          {DMTr::text(DMTexts::installButton), DMTr::text(DMTexts::cancelButton)}};
            presenter->present(alert, sheetWindow.data(), [operations, gate, next](int button) {
                if (button == 0 && operations->canInstallDriver()) {
                    DMAsyncWork::run<int>(
                        [operations] {
                            operations->installDriver();
                            return 0;
                        },
                        [next](int) { next(); });
                } else if (gate.withoutDriver == WithoutDriver::goOn) {
                    next();
                }
            });
        });
}

void DMOpenLockFlow::openNow(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    struct Opened {
        DMOperationResult result;
        std::string name;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<Opened>(
        [operations, drive] {
            Opened opened{operations->openWithReason(drive), {}};
            if (!opened.result.succeeded()) {
                opened.name = operations->name(drive);
            }
            return opened;
        },
        [presenter, sheetWindow, completion](Opened opened) {
            if (!opened.result.succeeded()) {
                // The reason names the mount point, for the user to open it by other means.
                std::string text = DMFailureText::sentence(opened.result.message);
                presenter->present({DMTextFormat::withText(DMTr::text(DMTexts::openFailedTitleFormat), opened.name),
                                    text.empty() ? std::string(DMTr::text(DMTexts::openFailedText)) : text,
                                    {DMTr::text(DMTexts::okButton)}},
                                   sheetWindow.data(), nullptr);
            }
            finishAction(completion, opened.result.code);
        });
}

}  // namespace harbormind
