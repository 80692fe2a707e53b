#include "app/encryption/BLBitLockerWndController.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLBitLockerViewController.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "drivemodel/DMLocalDriveEncryptable.h"

namespace harbormind {

BLBitLockerWndController::BLBitLockerWndController(std::shared_ptr<DMLocalDriveEncryptable> job,
                                                   std::shared_ptr<BLRecoveryKeyOutput> output, QWidget* parent)
    : QDialog(parent), job_(job) {
    setWindowTitle(DMTr::text(BLEncryptionTexts::alertTitle));
    viewController_ = new BLBitLockerViewController(std::move(job), std::move(output), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(viewController_);
    resize(540, 330);
    viewController_->setConfirmedHandler([this] {
        confirmed_ = true;
        done(codeConfirmed);
    });
    connect(viewController_->btnCancel, &QPushButton::clicked, this, [this] { done(codeCancelled); });
}

void BLBitLockerWndController::done(int result) {
    endCode_ = confirmed_ ? codeConfirmed : codeCancelled;
    if (!confirmed_ && job_) {
        job_->cancel();
    }
    QDialog::done(result == codeConfirmed && confirmed_ ? codeConfirmed : codeCancelled);
}

}  // namespace harbormind
