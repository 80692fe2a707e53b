#include "app/encryption/BLBitlockerUnlockWndController.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/drives/DMDriveOperations.h"
#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/Dispatch.h"

namespace harbormind {

BLBitlockerUnlockWndController::BLBitlockerUnlockWndController(std::shared_ptr<DMDriveObjectProtocol> drive,
                                                               std::shared_ptr<DMDriveOperations> operations,
                                                               QWidget* parent)
    : QDialog(parent), unlockobj(std::move(drive)), operations_(std::move(operations)) {
    setWindowTitle(DMTr::text(BLEncryptionTexts::unlockTitle));
    setFixedSize(500, 180);
    strDriveName = unlockobj && operations_ ? operations_->name(unlockobj) : std::string();
    lbBitlocker = new QLabel(DMTr::text(BLEncryptionTexts::unlockTitle), this);
    QFont bold = lbBitlocker->font();
    bold.setBold(true);
    lbBitlocker->setFont(bold);
    lbDriveName = new QLabel(QString::fromStdString(strDriveName), this);
    lbPassword = new QLabel(DMTr::text(BLEncryptionTexts::unlockPrompt), this);
    editPassword = new QLineEdit(this);
    editPassword->setEchoMode(QLineEdit::Password);
    editPassword->setAccessibleName(DMTr::text(BLEncryptionTexts::unlockPrompt));
    editPlaintext = new QLineEdit(this);
    editPlaintext->hide();
    btnPasswordshow = new QPushButton(this);
    btnPasswordshow->setCheckable(true);
    btnPasswordshow->setText(QStringLiteral("\u25C9"));
    btnPasswordshow->setToolTip(DMTr::text(BLEncryptionTexts::showPassword));
    btnPasswordshow->setAccessibleName(DMTr::text(BLEncryptionTexts::showPassword));
    btnPasswordshow->setFixedWidth(32);
    lbErrorTips = new QLabel(this);
    lbErrorTips->setStyleSheet("color: #d0312d;");
    lbErrorTips->setWordWrap(true);
    btnRemeberPassword = new QCheckBox(DMTr::text(BLEncryptionTexts::rememberPassword), this);
    btnCancel = new QPushButton(DMTr::text(BLEncryptionTexts::cancel), this);
    btnUnlock = new QPushButton(DMTr::text(BLEncryptionTexts::unlock), this);
    btnUnlock->setDefault(true);

    auto* title = new QHBoxLayout();
    title->addWidget(lbBitlocker);
    title->addStretch();
    title->addWidget(lbDriveName);
    auto* field = new QHBoxLayout();
    field->addWidget(editPassword, 1);
    field->addWidget(editPlaintext, 1);
    field->addWidget(btnPasswordshow);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(btnRemeberPassword);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnUnlock);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addWidget(lbPassword);
    layout->addLayout(field);
    layout->addWidget(lbErrorTips);
    layout->addLayout(buttons);

    connect(btnPasswordshow, &QPushButton::toggled, this, [this](bool shown) { setPasswordShown(shown); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnUnlock, &QPushButton::clicked, this, [this] { unlock(); });

    if (operations_ && unlockobj) {
        if (auto remembered = operations_->rememberedPassword(unlockobj)) {
            editPassword->setText(QString::fromStdString(*remembered));
            btnRemeberPassword->setChecked(true);
        }
    }
}

std::string BLBitlockerUnlockWndController::typedPassword() const {
    const QLineEdit* visible = editPlaintext->isVisibleTo(this) ? editPlaintext : editPassword;
    return visible->text().toStdString();
}

void BLBitlockerUnlockWndController::setPasswordShown(bool shown) {
    QLineEdit* from = shown ? editPassword : editPlaintext;
    QLineEdit* to = shown ? editPlaintext : editPassword;
    to->setText(from->text());
    to->setCursorPosition(static_cast<int>(to->text().size()));
    from->hide();
    to->show();
    to->setFocus();
}

void BLBitlockerUnlockWndController::unlock() {
    if (busy_ || !operations_ || !unlockobj) {
        return;
    }
    busy_ = true;
    btnUnlock->setEnabled(false);
    lbErrorTips->clear();
    std::string password = typedPassword();
    QPointer<BLBitlockerUnlockWndController> self(this);
    auto operations = operations_;
    auto drive = unlockobj;
    Dispatch::global()->async([self, operations, drive, password] {
        DMOperationResult result = operations->unlockWithReason(drive, password);
        Dispatch::main().async([self, result, password] {
            if (self) {
                self->unlocked(result.code, password, result.message);
            }
        });
    });
}

void BLBitlockerUnlockWndController::unlocked(int result, const std::string& password, const std::string& reason) {
    busy_ = false;
    btnUnlock->setEnabled(true);
    if (result == 0) {
        strPasswrod = password;
        operations_->rememberPassword(unlockobj, btnRemeberPassword->isChecked()
                                                     ? std::optional<std::string>(password)
                                                     : std::nullopt);
        auto operations = operations_;
        auto drive = unlockobj;
        auto handler = unlockedHandler_;
        accept();
        if (handler) {
            handler(drive);
            return;
        }
        Dispatch::global()->async([operations, drive] {
            if (operations->automaticallyOpenDrivesAfterUnlocking()) {
                operations->open(drive);
            }
        });
        return;
    }
    if (result == resultBlocked && operations_->isUSBBlockerOn()) {
        lbErrorTips->setText(DMTr::text(BLEncryptionTexts::blockedByUSBBlocker));
    } else if (!reason.empty()) {
        lbErrorTips->setText(QString(DMTr::text(BLEncryptionTexts::unlockFailedFormat)).arg(QString::fromStdString(reason)));
    } else {
        lbErrorTips->setText(DMTr::text(BLEncryptionTexts::passwordIncorrect));
    }
}

}  // namespace harbormind
