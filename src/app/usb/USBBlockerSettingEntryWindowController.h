#pragma once

#include <string>

#include "app/usb/USBPasswordWindow.h"

namespace harbormind {

class USBBlockerKeyChain;

// Asks for the password before the settings open or a disk joins the white list; `tips`
// says which.
class USBBlockerSettingEntryWindowController final : public USBPasswordWindow {
public:
    USBBlockerSettingEntryWindowController(QWidget* parent, const USBBlockerKeyChain& keyChain, std::string tips);

    void btnOk_click();

    QLineEdit* editPassword = nullptr;
    QLabel* lbPasswordTip = nullptr;
    QLabel* lblengthError = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    bool flag = false;
    const std::string tips;

protected:
    bool succeeded() const override { return flag; }

private:
    const USBBlockerKeyChain& keyChain_;
};

}  // namespace harbormind
