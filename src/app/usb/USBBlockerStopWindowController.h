#pragma once

#include <memory>

#include "app/usb/USBPasswordWindow.h"

namespace harbormind {

class DMAlertPresenter;
class USBBlockerSwitch;

// Asks for the password before "USB Warden" is turned off; the daemon checks it. The right
// password stops the agent and turns the daemon's guard off half a second later, then closes
// the window with one message saying what happened; the sheet ends with 1 only when the
// Warden is off.
class USBBlockerStopWindowController final : public USBPasswordWindow {
public:
    USBBlockerStopWindowController(QWidget* parent, std::shared_ptr<USBBlockerSwitch> blockerSwitch,
                                   std::shared_ptr<DMAlertPresenter> presenter);

    void btnOk_click();

    QLineEdit* editPassword = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbErrorTip = nullptr;
    bool stopSuccess = false;

protected:
    bool succeeded() const override { return off_; }

private:
    void turnOff(const std::string& password);

    std::shared_ptr<USBBlockerSwitch> switch_;
    std::shared_ptr<DMAlertPresenter> presenter_;
    bool off_ = false;
};

}  // namespace harbormind
