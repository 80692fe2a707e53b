#include "app/drives/DMFirstAidFlow.h"

#include "app/common/DMTr.h"

#include <QPointer>
#include <QWidget>

#include <string>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMFirstAidTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/drives/DMAsyncWork.h"
#include "app/drives/DMDriveOperations.h"
#include "app/drives/DMDriveWindowFactory.h"

namespace harbormind {

DMFirstAidFlow::DMFirstAidFlow(std::shared_ptr<DMDriveOperations> operations,
                               std::shared_ptr<DMAlertPresenter> presenter,
                               std::shared_ptr<DMDriveWindowFactory> windows)
    : DMDriveFlow(std::move(operations), std::move(presenter)), windows_(std::move(windows)) {}

void DMFirstAidFlow::start(const Drive& drive, QWidget* window) {
    struct Facts {
        bool local = false;
        bool asks = false;
        std::string name;
    };
    auto operations = operations_;
    auto presenter = presenter_;
    auto windows = windows_;
    QPointer<QWidget> sheetWindow(window);
    DMAsyncWork::run<Facts>(
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
        [presenter, windows, drive, sheetWindow](Facts facts) {
            if (!facts.local) {
                return;
            }
            if (!facts.asks) {
                windows->firstAid(drive, false, sheetWindow.data());
                return;
            }
            DMAlert alert{DMTr::text(DMFirstAidTexts::alertMessage),
                          DMTextFormat::withText(DMTr::text(DMFirstAidTexts::alertTextFormat), facts.name),
                          {DMTr::text(DMFirstAidTexts::checkButton), DMTr::text(DMFirstAidTexts::repairButton),
                           DMTr::text(DMFirstAidTexts::cancelButton)}};
            presenter->present(alert, sheetWindow.data(), [windows, drive, sheetWindow](int button) {
                if (button == 0 || button == 1) {
                    windows->firstAid(drive, button == 1, sheetWindow.data());
                }
            });
        });
}

}  // namespace harbormind
