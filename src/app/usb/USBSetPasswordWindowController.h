#pragma once

#include "app/usb/USBPasswordWindow.h"

namespace harbormind {

class DMUSBBlockerWrapper;

// Asks for the first "USB Warden" password, which the daemon keeps. Only OK stores it, and
// only a stored password ends the sheet with 1: closing the window with valid fields but
// without OK stores nothing and must not turn the blocker on.
class USBSetPasswordWindowController final : public USBPasswordWindow {
public:
    USBSetPasswordWindowController(QWidget* parent, DMUSBBlockerWrapper& wrapper);

    void btnOk_click();

    QLineEdit* editPassword = nullptr;
    QLineEdit* editPasswordAgain = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbErrorTip = nullptr;

protected:
    bool succeeded() const override { return stored_; }

private:
    DMUSBBlockerWrapper& wrapper_;
    bool stored_ = false;
};

}  // namespace harbormind
