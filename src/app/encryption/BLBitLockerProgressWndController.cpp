#include "app/encryption/BLBitLockerProgressWndController.h"

#include <algorithm>
#include <filesystem>

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionProgressReceiver.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLHeaderHandover.h"
#include "app/encryption/BLRecoveryKeyFile.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "drivemodel/DMLocalDriveEncryptable.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "support/Dispatch.h"

namespace harbormind {

BLBitLockerProgressWndController::BLBitLockerProgressWndController(std::shared_ptr<DMLocalDriveEncryptable> job,
                                                                   std::string driveName, QWidget* parent)
    : QDialog(parent), strDrive(std::move(driveName)), encryptObj_(std::move(job)) {
    setWindowTitle(DMTr::text(BLEncryptionTexts::encrypting));
    lbEncrypting = new QLabel(DMTr::text(BLEncryptionTexts::encrypting), this);
    QFont bold = lbEncrypting->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbEncrypting->setFont(bold);
    lbDrive = new QLabel(QString::fromStdString(strDrive), this);
    progressIndicator = new QProgressBar(this);
    progressIndicator->setRange(0, barSteps);
    progressIndicator->setValue(0);
    progressIndicator->setTextVisible(false);
    lbTip = new QLabel(DMTr::text(BLEncryptionTexts::progressTip), this);
    lbTip->setWordWrap(true);
    btnCancel = new QPushButton(DMTr::text(BLEncryptionTexts::cancel), this);
    btnFinish = new QPushButton(DMTr::text(BLEncryptionTexts::completed), this);
    btnFinish->hide();
    btnSaveHeader = new QPushButton(DMTr::text(BLEncryptionTexts::saveHeader), this);
    btnSaveHeader->hide();

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(btnSaveHeader);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnFinish);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbEncrypting);
    layout->addWidget(lbDrive);
    layout->addWidget(progressIndicator);
    layout->addWidget(lbTip);
    layout->addLayout(buttons);
    resize(460, 190);

    connect(btnCancel, &QPushButton::clicked, this, [this] {
        if (encryptObj_) {
            encryptObj_->cancel();
        }
        reject();
    });
    connect(btnFinish, &QPushButton::clicked, this, [this] { accept(); });
    connect(btnSaveHeader, &QPushButton::clicked, this, [this] { chooseHeaderPath(); });

    QPointer<BLBitLockerProgressWndController> self(this);
    receiver_ = std::make_shared<BLEncryptionProgressReceiver>([self](const DMProgressMessage& message) {
        if (self) {
            self->showProgress(message);
        }
    });
    if (encryptObj_) {
        encryptObj_->setDelegate(receiver_);
    }
}

void BLBitLockerProgressWndController::setHeaderHandover(std::shared_ptr<BLRecoveryKeyOutput> output,
                                                         std::optional<std::string> keyPath) {
    output_ = std::move(output);
    keyPath_ = std::move(keyPath);
}

void BLBitLockerProgressWndController::showProgress(const DMProgressMessage& message) {
    double fraction = message.progress();
    if (!std::isfinite(fraction)) {
        fraction = 0;
    }
    progressIndicator->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * barSteps)));
    if (message.error != DMProgressError::noError) {
        lbEncrypting->setText(QString::fromStdString(
            DMTextFormat::withInteger(DMTr::text(BLEncryptionTexts::interruptedFormat),
                                      static_cast<long long>(static_cast<std::uint64_t>(message.error)))));
        if (!message.message.empty()) {
            lbTip->setText(QString::fromStdString(message.message));
        }
        return;
    }
    if (message.status == DMProgressStatus::finished) {
        lbEncrypting->setText(DMTr::text(BLEncryptionTexts::encrypted));
        if (!message.message.empty()) {
            lbTip->setText(QString::fromStdString(message.message));
        }
        btnCancel->hide();
        btnFinish->show();
        handOverHeader();
    }
}

// Fetched away from the user-interface thread: the daemon reads it from its folder.
void BLBitLockerProgressWndController::handOverHeader() {
    if (handedOver_ || !output_ || !encryptObj_) {
        return;
    }
    handedOver_ = true;
    QPointer<BLBitLockerProgressWndController> self(this);
    auto job = encryptObj_;
    Dispatch::global()->async([self, job] {
        std::string header = job->detachedHeader();
        Dispatch::main().async([self, header] {
            if (!self || header.empty()) {
                return;
            }
            self->header_ = header;
            if (self->keyPath_) {
                self->saveHeader(BLRecoveryKeyFile::headerPathBeside(*self->keyPath_));
            } else {
                self->lbTip->setText(DMTr::text(BLEncryptionTexts::headerUnsaved));
                self->btnSaveHeader->show();
            }
        });
    });
}

void BLBitLockerProgressWndController::chooseHeaderPath() {
    if (!output_ || header_.empty()) {
        return;
    }
    std::string folder = keyPath_ ? std::filesystem::path(*keyPath_).parent_path().string()
                         : Platform::hasCurrent() ? Platform::current().users().processHome()
                                                  : std::string();
    std::optional<std::string> path = output_->choosePath(this, DMTr::text(BLEncryptionTexts::headerPanelMessage), folder,
                                                          DMTr::text(BLEncryptionTexts::headerProposedName),
                                                          BLEncryptionTexts::headerPanelType);
    if (path) {
        saveHeader(*path);
    }
}

void BLBitLockerProgressWndController::saveHeader(const std::string& path) {
    BLHeaderHandover::Result result = BLHeaderHandover::write(path, header_);
    if (!result.saved) {
        lbTip->setText(QString(DMTr::text(BLEncryptionTexts::headerNotSavedFormat)).arg(QString::fromStdString(result.failure)));
        btnSaveHeader->show();
        return;
    }
    savedHeaderPath_ = path;
    lbTip->setText(QString(DMTr::text(BLEncryptionTexts::headerSavedFormat)).arg(QString::fromStdString(path)));
    btnSaveHeader->hide();
}

}  // namespace harbormind
