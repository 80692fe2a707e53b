#include "app/usb/USBBlockerSettingEntryWindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
    layOutOnePassword(lbPasswordTip, editPassword, lblengthError, btnCancel, btnOk, [this] { btnOk_click(); });
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
