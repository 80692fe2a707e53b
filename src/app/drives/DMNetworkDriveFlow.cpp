#include "app/drives/DMNetworkDriveFlow.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTexts.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMDriveWindowFactory.h"
#include "platform/NetworkMountStatus.h"
#include "support/Dispatch.h"

namespace harbormind {

DMNetworkDriveFlow::DMNetworkDriveFlow(std::shared_ptr<DMDriveOperations> operations,
                                       std::shared_ptr<DMAlertPresenter> presenter,
                                       std::shared_ptr<DMDriveWindowFactory> windows)
    : DMDriveFlow(std::move(operations), std::move(presenter)), windows_(std::move(windows)) {}

void DMNetworkDriveFlow::perform(DMDriveAction action, const Drive& drive, QWidget* window,
                                 DMActionCompletion completion) {
    if (!operations_->isNetworkDrive(drive)) {
        return;
    }
    switch (action) {
    case DMDriveAction::open: operations_->openNetworkDrive(drive); break;
    case DMDriveAction::mount: connect(drive, std::move(completion)); break;
    case DMDriveAction::unmount: disconnect(drive, window, std::move(completion)); break;
    case DMDriveAction::edit: windows_->editNetworkDrive(drive, window); break;
    case DMDriveAction::remove: remove(drive, window); break;
    default: break;
    }
}

void DMNetworkDriveFlow::connect(const Drive& drive, DMActionCompletion completion) {
    auto operations = operations_;
    operations->connectWithReason(drive, [operations, drive, completion](DMOperationResult result) {
        Dispatch::main().async([operations, drive, completion, result] {
            if (result.code != 0 && completion && !result.message.empty()) {
                completion(result.code, result.message);
                return;
            }
            finishAction(completion, result.code);
            if (result.code == 0 && operations->automaticallyOpenDrivesAfterConnecting()) {
                operations->openNetworkDrive(drive);
            }
        });
    });
}

// A drive that stays connected (files still on their way to the server, or open) says why; it
// is never reported as disconnected.
void DMNetworkDriveFlow::disconnect(const Drive& drive, QWidget* window, DMActionCompletion completion) {
    QPointer<QWidget> sheetWindow(window);
    auto presenter = presenter_;
    operations_->disconnect(drive, [presenter, sheetWindow, completion](int code) {
        Dispatch::main().async([presenter, sheetWindow, completion, code] {
            finishAction(completion, code);
            if (code != 0) {
                presenter->present({DMTr::text(DMTexts::disconnectFailed), NetworkMountStatus::describe(code),
                                    {DMTr::text(DMTexts::okButton)}},
                                   sheetWindow.data(), nullptr);
            }
        });
    });
}

void DMNetworkDriveFlow::remove(const Drive& drive, QWidget* window) {
    DMAlert alert{DMTr::text(DMTexts::deleteDriveTitle), DMTr::text(DMTexts::deleteDriveText),
                  {DMTr::text(DMTexts::confirmButton), DMTr::text(DMTexts::cancelButton)}};
    auto operations = operations_;
    presenter_->present(alert, window, [operations, drive](int button) {
        if (button == 0) {
            operations->removeNetworkDrive(drive);
        }
    });
}

}  // namespace harbormind
