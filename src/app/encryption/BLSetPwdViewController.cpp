#include "app/encryption/BLSetPwdViewController.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLPasswordRules.h"

namespace harbormind {

BLSetPwdViewController::BLSetPwdViewController(QWidget* parent) : QWidget(parent) {
    lbTitle = new QLabel(DMTr::text(BLEncryptionTexts::passwordTitle), this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbTitle->setFont(bold);
    lbHint = new QLabel(DMTr::text(BLEncryptionTexts::passwordHint), this);
    lbHint->setWordWrap(true);
    tfPassword = new QLineEdit(this);
    tfPassword->setEchoMode(QLineEdit::Password);
    tfPassword->setPlaceholderText(DMTr::text(BLEncryptionTexts::enterPassword));
    tfPassword->setAccessibleName(DMTr::text(BLEncryptionTexts::enterPassword));
    tfRepeat = new QLineEdit(this);
    tfRepeat->setEchoMode(QLineEdit::Password);
    tfRepeat->setPlaceholderText(DMTr::text(BLEncryptionTexts::reenterPassword));
    tfRepeat->setAccessibleName(DMTr::text(BLEncryptionTexts::reenterPassword));
    lbError = new QLabel(this);
    lbError->setStyleSheet("color: #d0312d;");
    lbError->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(lbHint);
    layout->addSpacing(8);
    layout->addWidget(tfPassword);
    layout->addWidget(tfRepeat);
    layout->addWidget(lbError);
    layout->addStretch();
}

std::optional<std::string> BLSetPwdViewController::acceptedPassword(bool jobHoldsPassword, bool bitLocker) {
    std::string password = tfPassword->text().toStdString();
    std::string repeated = tfRepeat->text().toStdString();
    if (auto refusal = BLPasswordRules::refusal(password, repeated, jobHoldsPassword, bitLocker)) {
        lbError->setText(QString::fromStdString(*refusal));
        return std::nullopt;
    }
    lbError->clear();
    return password;
}

}  // namespace harbormind
