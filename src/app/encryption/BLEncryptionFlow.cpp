#include "app/encryption/BLEncryptionFlow.h"

#include <QDialog>

#include "app/common/DMAlertPresenter.h"
#include "app/drives/DMDriveOperations.h"
#include "app/common/DMTr.h"
#include "app/encryption/BLBitLockerProgressWndController.h"
#include "app/encryption/BLBitLockerViewController.h"
#include "app/encryption/BLBitLockerWndController.h"
#include "app/encryption/BLBitlockerUnlockWndController.h"
#include "app/encryption/BLEncryptionAlertText.h"
#include "app/encryption/BLResumePasswordWndController.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLHeaderHandover.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "drivemodel/DMLocalDriveEncryptable.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

const char* refusalText(DMEncryptorRefusal refusal) {
    switch (refusal) {
        case DMEncryptorRefusal::stillMounted: return DMTr::text(BLEncryptionTexts::stillMounted);
        case DMEncryptorRefusal::bitLockerNotSupported: return DMTr::text(BLEncryptionTexts::bitLockerNotAvailable);
        case DMEncryptorRefusal::luksNotAvailable: return DMTr::text(BLEncryptionTexts::luksNotAvailable);
        default: return DMTr::text(BLEncryptionTexts::unsupportedFileSystem);
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
        DMEncryptorRefusal refusal = DMEncryptorRefusal::none;
    };
    auto self = shared_from_this();
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    bool withWindow = window != nullptr;
    Dispatch::global()->async([self, operations, drive, sheetWindow, withWindow] {
        Facts facts{operations->fileSystem(drive), operations->name(drive), operations->hasExternalPowerAdapter(),
                    operations->encryptionRefusal(drive)};
        Dispatch::main().async([self, drive, sheetWindow, withWindow, facts] {
            QWidget* shown = sheetWindow.data();
            // What cannot be done is said before anything is unmounted or promised.
            if (facts.refusal != DMEncryptorRefusal::none) {
                self->presenter_->present(
                    {DMTr::text(BLEncryptionTexts::cannotEncryptTitle), refusalText(facts.refusal), {DMTr::text(BLEncryptionTexts::ok)}},
                    withWindow ? shown : nullptr, [](int) {});
                return;
            }
            if (facts.fileSystem == DMDriveObjectFilesystem::apfs && !facts.power) {
                self->presenter_->present({DMTr::text(BLEncryptionTexts::apfsNeedsPower), "", {DMTr::text(BLEncryptionTexts::ok)}}, shown,
                                          [](int) {});
                return;
            }
            std::optional<std::string> text = BLEncryptionAlertText::forFileSystem(facts.fileSystem);
            if (!text) {
                // Only a volume whose encryption was interrupted comes this far without a method
                // of its own (half encrypted, its file system no longer reads as one): the user
                // agreed when it began, so it goes straight on to its resume.
                if (withWindow && shown != nullptr) {
                    self->confirmed(drive, facts.name, shown);
                }
                return;
            }
            DMAlert alert{DMTr::text(BLEncryptionTexts::alertTitle), *text, {DMTr::text(BLEncryptionTexts::alertContinue)}};
            if (!withWindow) {
                self->presenter_->present(alert, nullptr, [](int) {});
                return;
            }
            self->presenter_->present(alert, shown, [self, drive, sheetWindow, name = facts.name](int button) {
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
                    {DMTr::text(BLEncryptionTexts::cannotEncryptTitle), refusalText(refusal), {DMTr::text(BLEncryptionTexts::ok)}},
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
    if (job->resumeNeedsPassword()) {
        askResumePassword(job, name, window);
        return;
    }
    resumeJob(job, name, window);
}

void BLEncryptionFlow::resumeJob(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                 QWidget* window) {
    openProgress(job, name, window);
    job->prepare();
    job->start();
}

void BLEncryptionFlow::askResumePassword(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                         QWidget* window) {
    if (resumePasswordWndController_) {
        resumePasswordWndController_->close();
    }
    auto* prompt = new BLResumePasswordWndController(name, window);
    resumePasswordWndController_ = prompt;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    QObject::connect(prompt, &QDialog::finished, prompt, [self, job, name, sheetWindow, prompt](int code) {
        if (code != BLResumePasswordWndController::codeConfirmed || !sheetWindow) {
            return;
        }
        job->setPassword(prompt->password());
        if (job->resumeMakesRecoveryKey()) {
            self->openWizard(job, name, sheetWindow.data(), true);
            return;
        }
        self->resumeJob(job, name, sheetWindow.data());
    });
    presentSheet(prompt);
}

void BLEncryptionFlow::exportHeader(const Drive& drive, QWidget* window) {
    if (window == nullptr || !drive) {
        return;
    }
    auto self = shared_from_this();
    auto operations = operations_;
    QPointer<QWidget> sheetWindow(window);
    Dispatch::global()->async([self, operations, drive, sheetWindow] {
        std::string header = operations->detachedHeader(drive);
        std::string name = operations->name(drive);
        Dispatch::main().async([self, header, name, sheetWindow] {
            if (sheetWindow) {
                self->saveExportedHeader(header, name, sheetWindow.data());
            }
        });
    });
}

void BLEncryptionFlow::saveExportedHeader(const std::string& header, const std::string& name, QWidget* window) {
    auto say = [&](const QString& text) {
        presenter_->present({DMTr::text(BLEncryptionTexts::exportTitle), text.toStdString(), {DMTr::text(BLEncryptionTexts::ok)}}, window,
                            [](int) {});
    };
    QString drive = QString::fromStdString(name);
    if (header.empty()) {
        say(QString(DMTr::text(BLEncryptionTexts::exportFailedFormat)).arg(drive, DMTr::text(BLEncryptionTexts::headerUnavailable)));
        return;
    }
    std::string folder = Platform::hasCurrent() ? Platform::current().users().processHome() : std::string();
    std::optional<std::string> path =
        output_->choosePath(window, DMTr::text(BLEncryptionTexts::headerPanelMessage), folder,
                            std::string(DMTr::text(BLEncryptionTexts::headerProposedName)) + " " + name,
                            BLEncryptionTexts::headerPanelType);
    if (!path) {
        return;
    }
    BLHeaderHandover::Result result = BLHeaderHandover::write(*path, header, BLHeaderHandover::Expect::anyHeader);
    if (!result.saved) {
        say(QString(DMTr::text(BLEncryptionTexts::exportFailedFormat)).arg(drive, QString::fromStdString(result.failure)));
        return;
    }
    say(QString(DMTr::text(BLEncryptionTexts::exportSavedFormat)).arg(drive, QString::fromStdString(*path)));
}

BLResumePasswordWndController* BLEncryptionFlow::resumePasswordWndController() const {
    return resumePasswordWndController_.data();
}

// A resumed job starts at once and shows its new recovery key; nothing was unmounted for
// it, so a cancelled resume mounts nothing.
void BLEncryptionFlow::openWizard(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                  QWidget* window, bool resumed) {
    if (bitlockerWndController_) {
        bitlockerWndController_->close();
    }
    auto* wizard = new BLBitLockerWndController(job, output_, window);
    bitlockerWndController_ = wizard;
    auto self = shared_from_this();
    QPointer<QWidget> sheetWindow(window);
    auto operations = operations_;
    QPointer<BLBitLockerViewController> pages(wizard->viewController());
    QObject::connect(wizard, &QDialog::finished, wizard,
                     [self, job, name, sheetWindow, operations, pages, resumed](int code) {
                         if (code == BLBitLockerWndController::codeConfirmed) {
                             if (sheetWindow) {
                                 std::optional<std::string> keyPath = pages ? pages->savedKeyPath() : std::nullopt;
                                 self->openProgress(job, name, sheetWindow.data(), keyPath);
                             }
                             job->start();
                             return;
                         }
                         if (resumed) {
                             return;
                         }
                         DMDriveOperations::Drive drive = job->driveObj();
                         Dispatch::global()->async([operations, drive] { operations->mount(drive); });
                     });
    presentSheet(wizard);
    if (resumed) {
        wizard->viewController()->startResumed();
    }
}

void BLEncryptionFlow::openProgress(const std::shared_ptr<DMLocalDriveEncryptable>& job, const std::string& name,
                                    QWidget* window, std::optional<std::string> keyPath) {
    if (bitlockerEncryptionProgressWndController_) {
        bitlockerEncryptionProgressWndController_->close();
    }
    bitlockerEncryptionProgressWndController_ = new BLBitLockerProgressWndController(job, name, window);
    bitlockerEncryptionProgressWndController_->setHeaderHandover(output_, std::move(keyPath));
    presentSheet(bitlockerEncryptionProgressWndController_);
}

}  // namespace harbormind
