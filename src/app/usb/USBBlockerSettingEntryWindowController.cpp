#include "app/usb/USBBlockerSettingEntryWindowController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBBlockerSettingEntryWindowController::USBBlockerSettingEntryWindowController(QWidget* parent,
                                                                               const USBBlockerKeyChain& keyChain,
                                                                               std::string tipText)
    : USBPasswordWindow(parent), tips(std::move(tipText)), keyChain_(keyChain) {
    setWindowTitle(QString::fromUtf8(USBBlockerTexts::general));
    lbPasswordTip = new QLabel(QString::fromStdString(tips), this);
    lbPasswordTip->setWordWrap(true);
    editPassword = passwordField(tips.c_str());
    lblengthError = errorLabel();
    btnCancel = button(USBBlockerTexts::cancel);
    btnOk = button(USBBlockerTexts::ok);
    btnOk->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbPasswordTip);
    layout->addWidget(editPassword);
    layout->addWidget(lblengthError);
    layout->addLayout(buttons);

    watchLength({editPassword}, lblengthError);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOk_click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { close(); });
}

void USBBlockerSettingEntryWindowController::btnOk_click() {
    if (auto error = USBPasswordRules::entryError(text(editPassword), keyChain_.password())) {
        refuse(editPassword, lblengthError, *error);
        return;
    }
    flag = true;
    close();
}

}  // namespace harbormind
