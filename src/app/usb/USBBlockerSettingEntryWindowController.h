#pragma once

#include <string>

#include "app/usb/USBPasswordWindow.h"

namespace harbormind {

class DMUSBBlockerWrapper;

// Asks for the password before the settings open or a disk joins the white list; `tips`
// says which. The daemon checks it.
class USBBlockerSettingEntryWindowController final : public USBPasswordWindow {
public:
    USBBlockerSettingEntryWindowController(QWidget* parent, DMUSBBlockerWrapper& wrapper, std::string tips);
    // The password that was accepted (empty before), for the changes the settings then make.
    const std::string& acceptedPassword() const { return accepted_; }

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
    DMUSBBlockerWrapper& wrapper_;
    std::string accepted_;
};

}  // namespace harbormind
