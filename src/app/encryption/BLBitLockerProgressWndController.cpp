#include "app/encryption/BLBitLockerProgressWndController.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/DMTextFormat.h"
#include "app/encryption/BLEncryptionProgressReceiver.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "drivemodel/DMLocalDriveEncryptable.h"

namespace harbormind {

BLBitLockerProgressWndController::BLBitLockerProgressWndController(std::shared_ptr<DMLocalDriveEncryptable> job,
                                                                   std::string driveName, QWidget* parent)
    : QDialog(parent), strDrive(std::move(driveName)), encryptObj_(std::move(job)) {
    setWindowTitle(BLEncryptionTexts::encrypting);
    lbEncrypting = new QLabel(BLEncryptionTexts::encrypting, this);
    QFont bold = lbEncrypting->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbEncrypting->setFont(bold);
    lbDrive = new QLabel(QString::fromStdString(strDrive), this);
    progressIndicator = new QProgressBar(this);
    progressIndicator->setRange(0, barSteps);
    progressIndicator->setValue(0);
    progressIndicator->setTextVisible(false);
    lbTip = new QLabel(BLEncryptionTexts::progressTip, this);
    lbTip->setWordWrap(true);
    btnCancel = new QPushButton(BLEncryptionTexts::cancel, this);
    btnFinish = new QPushButton(BLEncryptionTexts::completed, this);
    btnFinish->hide();

    auto* buttons = new QHBoxLayout();
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

void BLBitLockerProgressWndController::showProgress(const DMProgressMessage& message) {
    double fraction = message.progress();
    if (!std::isfinite(fraction)) {
        fraction = 0;
    }
    progressIndicator->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * barSteps)));
    if (message.error != DMProgressError::noError) {
        lbEncrypting->setText(QString::fromStdString(
            DMTextFormat::withInteger(BLEncryptionTexts::interruptedFormat,
                                      static_cast<long long>(static_cast<std::uint64_t>(message.error)))));
        return;
    }
    if (message.status == DMProgressStatus::finished) {
        lbEncrypting->setText(BLEncryptionTexts::encrypted);
        btnCancel->hide();
        btnFinish->show();
    }
}

}  // namespace harbormind
