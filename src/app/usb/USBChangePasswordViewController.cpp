#include "app/usb/USBChangePasswordViewController.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/DMAlertPresenter.h"
#include "app/usb/USBNotices.h"
#include "app/usb/USBShakeAnimation.h"
#include "support/Dispatch.h"
#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {
namespace {

constexpr double changedNoticeDelay = 0.5;

QLineEdit* passwordField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(QString::fromUtf8(name));
    return field;
}

std::string text(const QLineEdit* field) {
    return field->text().toStdString();
}

}  // namespace

USBChangePasswordViewController::USBChangePasswordViewController(QWidget* parent, const USBBlockerKeyChain& keyChain,
                                                                 std::shared_ptr<DMAlertPresenter> presenter)
    : USBPage(parent, USBBlockerTexts::setPassword), keyChain_(keyChain), presenter_(std::move(presenter)) {
    auto* title = new QLabel(QString::fromUtf8(USBBlockerTexts::setPasswordTitle), this);
    editOldPassword = passwordField(this, USBBlockerTexts::oldPassword);
    editNewPassword = passwordField(this, USBBlockerTexts::newPassword);
    editaffirmancePassword = passwordField(this, USBBlockerTexts::confirmPassword);
    btnChangePassword = new QPushButton(QString::fromUtf8(USBBlockerTexts::change), this);
    btnChangePassword->setEnabled(false);
    lbErrorTip = new QLabel(this);
    lbErrorTip->setStyleSheet(QStringLiteral("color: red;"));
    lbErrorTip->hide();

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(USBBlockerTexts::oldPassword), editOldPassword);
    form->addRow(QString::fromUtf8(USBBlockerTexts::newPassword), editNewPassword);
    form->addRow(QString::fromUtf8(USBBlockerTexts::confirmPassword), editaffirmancePassword);
    form->addRow(QString(), btnChangePassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(lbErrorTip);
    layout->addStretch();

    for (QLineEdit* field : {editOldPassword, editNewPassword, editaffirmancePassword}) {
        connect(field, &QLineEdit::textEdited, this, [this] { edited(); });
    }
    connect(btnChangePassword, &QPushButton::clicked, this, [this] { btnChangePassword_click(); });
}

void USBChangePasswordViewController::pageShown() {
    clearFields();
}

void USBChangePasswordViewController::clearFields() {
    editOldPassword->clear();
    editNewPassword->clear();
    editaffirmancePassword->clear();
    lbErrorTip->hide();
    btnChangePassword->setEnabled(false);
}

void USBChangePasswordViewController::edited() {
    lbErrorTip->hide();
    std::string newPassword = text(editNewPassword);
    btnChangePassword->setEnabled(!newPassword.empty() && newPassword == text(editaffirmancePassword));
}

void USBChangePasswordViewController::btnChangePassword_click() {
    std::optional<std::string> stored = keyChain_.password();
    std::string oldPassword = text(editOldPassword);
    auto error = USBPasswordRules::changeError(oldPassword, text(editNewPassword), text(editaffirmancePassword), stored);
    if (error) {
        lbErrorTip->setText(QString::fromStdString(*error));
        lbErrorTip->show();
        if (!stored || *stored != oldPassword) {
            USBShakeAnimation::shake(editOldPassword);
        }
        return;
    }
    if (!keyChain_.setPassword(text(editaffirmancePassword))) {
        lbErrorTip->setText(QString::fromUtf8(USBBlockerTexts::incorrectPassword));
        lbErrorTip->show();
        return;
    }
    QPointer<USBChangePasswordViewController> self(this);
    Dispatch::main().asyncAfter(seconds(changedNoticeDelay), [self] {
        if (self) {
            self->presenter_->present(USBNotices::notice(USBBlockerTexts::passwordChanged), nullptr, nullptr);
            self->clearFields();
        }
    });
}

}  // namespace harbormind
