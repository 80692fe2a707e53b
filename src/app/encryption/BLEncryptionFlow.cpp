#include "app/encryption/BLEncryptionFlow.h"

#include <QDialog>

#include "app/DMAlertPresenter.h"
#include "app/DMDriveOperations.h"
#include "app/encryption/BLBitLockerProgressWndController.h"
#include "app/encryption/BLBitLockerWndController.h"
#include "app/encryption/BLBitlockerUnlockWndController.h"
#include "app/encryption/BLEncryptionAlertText.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "drivemodel/DMLocalDriveEncryptable.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

const char* refusalText(DMEncryptorRefusal refusal) {
    switch (refusal) {
        case DMEncryptorRefusal::stillMounted: return BLEncryptionTexts::stillMounted;
        case DMEncryptorRefusal::bitLockerNotSupported: return BLEncryptionTexts::bitLockerNotAvailable;
        default: return BLEncryptionTexts::unsupportedFileSystem;
    }
}

// Shows a window as a sheet on `window` that deletes itself when closed.
void presentSheet(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
}

}  // namespace

BLEncryptionFlow::BLEncryptionFlow(std::shared_ptr<DMDriveOperations> operations,
                                   std::shared_ptr<DMAlertPresenter> presenter)
    : operations_(std::move(operations)),
      presenter_(std::move(presenter)),
      output_(std::make_shared<BLDialogRecoveryKeyOutput>()) {}

BLEncryptionFlow::~BLEncryptionFlow() = default;

BLBitLockerWndController* BLEncryptionFlow::bitlockerWndController() const {
    return bitlockerWndController_.data();
}

BLBitLockerProgressWndController* BLEncryptionFlow::bitlockerEncryptionProgressWndController() const {
    return bitlockerEncryptionProgressWndController_.data();
}

BLBitlockerUnlockWndController* BLEncryptionFlow::bitlockerUnlockWndController() const {
    return bitlockerUnlockWndController_.data();
}

void BLEncryptionFlow::unlock(const Drive& drive, QWidget* window) {
    if (window == nullptr || !drive) {
        return;
    }
    if (bitlockerUnlockWndController_) {
        bitlockerUnlockWndController_->close();
    }
    bitlockerUnlockWndController_ = new BLBitlockerUnlockWndController(drive, operations_, window);
    if (unlockedHandler_) {
        bitlockerUnlockWndController_->setUnlockedHandler(unlockedHandler_);
    }
    presentSheet(bitlockerUnlockWndController_);
}

void BLEncryptionFlow::encrypt(const Drive& drive, QWidget* window) {
    struct Facts {
        DMDriveObjectFilesystem fileSystem = DMDriveObjectFilesystem::unknown;
        std::string name;
        bool power = true;
    };
    auto self = shared_from_this();
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    bool withWindow = window != nullptr;
    Dispatch::global()->async([self, operations, drive, sheetWindow, withWindow] {
        Facts facts{operations->fileSystem(drive), operations->name(drive), operations->hasExternalPowerAdapter()};
        Dispatch::main().async([self, drive, sheetWindow, withWindow, facts] {
            QWidget* window = sheetWindow.data();
            if (facts.fileSystem == DMDriveObjectFilesystem::apfs && !facts.power) {
                self->presenter_->present({BLEncryptionTexts::apfsNeedsPower, "", {BLEncryptionTexts::ok}}, window,
                                          [](int) {});
                return;
            }
            std::optional<std::string> text = BLEncryptionAlertText::forFileSystem(facts.fileSystem);
            if (!text) {
                return;
            }
            DMAlert alert{BLEncryptionTexts::alertTitle, *text, {BLEncryptionTexts::alertContinue}};
            if (!withWindow) {
                self->presenter_->present(alert, nullptr, [](int) {});
                return;
            }
            self->presenter_->present(alert, window, [self, drive, sheetWindow, name = facts.name](int button) {
                if (button == 0 && sheetWindow) {
                    self->confirmed(drive, name, sheetWindow.data());
                }
            });
        });
    });
}

void BLEncryptionFlow::confirmed(const Drive& drive, const std::string& name, QWidget* window) {
    auto self = shared_from_this();
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    Dispatch::global()->async([self, operations, drive, name, sheetWindow] {
        DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
        std::shared_ptr<DMLocalDriveEncryptable> job = operations->encryptor(drive, &refusal);
        bool resume = job && job->needResume();
        Dispatch::main().async([self, job, resume, refusal, name, sheetWindow] {
            if (!sheetWindow) {
                return;
            }
            if (!job) {
                self->presenter_->present(
                    {BLEncryptionTexts::cannotEncryptTitle, refusalText(refusal), {BLEncryptionTexts::ok}},
                    sheetWindow.data(), [](int) {});
                return;
            }
            self->openJob(job, resume, name, sheetWindow.data());
        });
    });
}

void BLEncryptionFlow::openJob(const std::shared_ptr<DMLocalDriveEncryptable>& job, bool resume,
                               const std::string& name, QWidget* window) {
    if (!resume) {
        openWizard(job, name, window);
        return;
    }
    openProgress(job, name, window);
    job->prepare();
    job->start();
}

void BLEncryptionFlow::openWizard(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                  QWidget* window) {
    if (bitlockerWndController_) {
        bitlockerWndController_->close();
    }
    auto* wizard = new BLBitLockerWndController(job, output_, window);
    bitlockerWndController_ = wizard;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    auto operations = operations_;
    QObject::connect(wizard, &QDialog::finished, wizard,
                     [self, job, name, sheetWindow, operations](int code) {
                         if (code == BLBitLockerWndController::codeConfirmed) {
                             if (sheetWindow) {
                                 self->openProgress(job, name, sheetWindow.data());
                             }
                             job->start();
                             return;
                         }
                         DMDriveOperations::Drive drive = job->driveObj();
                         Dispatch::global()->async([operations, drive] { operations->mount(drive); });
                     });
    presentSheet(wizard);
}

void BLEncryptionFlow::openProgress(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                    QWidget* window) {
    if (bitlockerEncryptionProgressWndController_) {
        bitlockerEncryptionProgressWndController_->close();
    }
    bitlockerEncryptionProgressWndController_ = new BLBitLockerProgressWndController(job, name, window);
    presentSheet(bitlockerEncryptionProgressWndController_);
}

}  // namespace harbormind
