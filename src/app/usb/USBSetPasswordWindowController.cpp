#include "app/usb/USBSetPasswordWindowController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "xpc/DMUSBBlockerServerProtocol.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBSetPasswordWindowController::USBSetPasswordWindowController(QWidget* parent, DMUSBBlockerWrapper& wrapper)
    : USBPasswordWindow(parent), wrapper_(wrapper) {
    setWindowTitle(QString::fromUtf8(DMTr::text(USBBlockerTexts::setPassword)));
    editPassword = passwordField(DMTr::text(USBBlockerTexts::newPassword));
    editPasswordAgain = passwordField(DMTr::text(USBBlockerTexts::confirmPassword));
    lbErrorTip = errorLabel();
    btnCancel = button(DMTr::text(USBBlockerTexts::cancel));
    btnOk = button(DMTr::text(USBBlockerTexts::ok));
    btnOk->setDefault(true);

    auto* title = new QLabel(QString::fromUtf8(DMTr::text(USBBlockerTexts::setPasswordTitle)), this);
    title->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(DMTr::text(USBBlockerTexts::newPassword)), editPassword);
    form->addRow(QString::fromUtf8(DMTr::text(USBBlockerTexts::confirmPassword)), editPasswordAgain);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(lbErrorTip);
    layout->addLayout(buttons);

    watchLength({editPassword, editPasswordAgain}, lbErrorTip);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { close(); });
}

void USBSetPasswordWindowController::btnOk_click() {
    std::string password = text(editPassword);
    if (auto error = USBPasswordRules::firstPasswordError(password, text(editPasswordAgain))) {
        showError(lbErrorTip, *error);
        return;
    }
    // A password the daemon did not keep would lock the user out of turning it off.
    XPCCodeAnswer answer = wrapper_.setPassword({}, password);
    if (answer.code != DMUSBBlockerServerProtocol::done) {
        showError(lbErrorTip, DMTr::text(USBBlockerTexts::enableFailed) + std::string(" ") + DMUSBBlockerWrapper::reason(answer));
        return;
    }
    stored_ = true;
    close();
}

}  // namespace harbormind
