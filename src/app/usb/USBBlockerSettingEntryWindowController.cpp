#include "app/usb/USBBlockerSettingEntryWindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/common/DMTr.h"
#include "usbblocker/DMUSBBlockerWrapper.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBPasswordRules.h"

namespace harbormind {

USBBlockerSettingEntryWindowController::USBBlockerSettingEntryWindowController(QWidget* parent,
                                                                               DMUSBBlockerWrapper& wrapper,
                                                                               std::string tipText)
    : USBPasswordWindow(parent), tips(std::move(tipText)), wrapper_(wrapper) {
    setWindowTitle(QString::fromUtf8(DMTr::text(USBBlockerTexts::general)));
    lbPasswordTip = new QLabel(QString::fromStdString(tips), this);
    lbPasswordTip->setWordWrap(true);
    editPassword = passwordField(tips.c_str());
    lblengthError = errorLabel();
    btnCancel = button(DMTr::text(USBBlockerTexts::cancel));
    btnOk = button(DMTr::text(USBBlockerTexts::ok));
    layOutOnePassword(lbPasswordTip, editPassword, lblengthError, btnCancel, btnOk, [this] { btnOk_click(); });
}

void USBBlockerSettingEntryWindowController::btnOk_click() {
    std::string entered = text(editPassword);
    if (auto error = USBPasswordRules::entryError(entered, USBPasswordRules::daemonCheck(wrapper_))) {
        refuse(editPassword, lblengthError, *error);
        return;
    }
    accepted_ = entered;
    flag = true;
    close();
}

}  // namespace harbormind
