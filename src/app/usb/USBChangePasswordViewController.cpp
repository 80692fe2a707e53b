#include "app/usb/USBChangePasswordViewController.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "app/usb/USBNotices.h"
#include "app/usb/USBShakeAnimation.h"
#include "support/Dispatch.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
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

USBChangePasswordViewController::USBChangePasswordViewController(QWidget* parent, DMUSBBlockerWrapper& wrapper,
                                                                 std::shared_ptr<DMAlertPresenter> presenter)
    : USBPage(parent, DMTr::text(USBBlockerTexts::setPassword)), wrapper_(wrapper), presenter_(std::move(presenter)) {
    lbTitle = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::setPasswordTitle)), this);
    lbTitle->setWordWrap(true);
    editOldPassword = passwordField(this, DMTr::text(USBBlockerTexts::oldPassword));
    editNewPassword = passwordField(this, DMTr::text(USBBlockerTexts::newPassword));
    editaffirmancePassword = passwordField(this, DMTr::text(USBBlockerTexts::confirmPassword));
    btnChangePassword = new QPushButton(QString::fromUtf8(DMTr::text(USBBlockerTexts::change)), this);
    btnChangePassword->setEnabled(false);
    lbErrorTip = new QLabel(this);
    lbErrorTip->setStyleSheet(QStringLiteral("color: red;"));
    lbErrorTip->hide();

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(DMTr::text(USBBlockerTexts::oldPassword)), editOldPassword);
    form->addRow(QString::fromUtf8(DMTr::text(USBBlockerTexts::newPassword)), editNewPassword);
    form->addRow(QString::fromUtf8(DMTr::text(USBBlockerTexts::confirmPassword)), editaffirmancePassword);
    form->addRow(QString(), btnChangePassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
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
    std::optional<USBWardenState> state = wrapper_.state();
    bool set = state && state->passwordSet;
    lbTitle->setText(QString::fromUtf8(set ? DMTr::text(USBBlockerTexts::changePasswordTitle) : DMTr::text(USBBlockerTexts::setPasswordTitle)));
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
    auto showError = [this](const std::string& message) {
        lbErrorTip->setText(QString::fromStdString(message));
        lbErrorTip->show();
    };
    if (auto error = USBPasswordRules::changeError(text(editNewPassword), text(editaffirmancePassword))) {
        showError(*error);
        return;
    }
    XPCCodeAnswer answer = wrapper_.setPassword(text(editOldPassword), text(editaffirmancePassword));
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        bool oldRefused = answer.code == DMUSBBlockerServerProtocol::wrongPassword;
        showError(oldRefused ? answer.message : DMUSBBlockerWrapper::reason(answer));
        if (oldRefused) {
            USBShakeAnimation::shake(editOldPassword);
        }
        return;
    }
    QPointer<USBChangePasswordViewController> self(this);
    Dispatch::main().asyncAfter(seconds(changedNoticeDelay), [self] {
        if (self) {
            self->presenter_->present(USBNotices::notice(DMTr::text(USBBlockerTexts::passwordChanged)), self->window(), nullptr);
            self->clearFields();
        }
    });
}

}  // namespace harbormind
