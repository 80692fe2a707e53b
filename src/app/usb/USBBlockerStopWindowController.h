#pragma once

#include <memory>

#include "app/usb/USBPasswordWindow.h"

namespace harbormind {

class DMAlertPresenter;
class USBBlockerKeyChain;

// Asks for the password before "USB Warden" is turned off. The right password unloads the
// agent half a second later and closes the window; the sheet ends with 1 once the password
// was right, whatever the unload did.
class USBBlockerStopWindowController final : public USBPasswordWindow {
public:
    USBBlockerStopWindowController(QWidget* parent, const USBBlockerKeyChain& keyChain,
                                   std::shared_ptr<DMAlertPresenter> presenter);

    void btnOk_click();

    QLineEdit* editPassword = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* lbErrorTip = nullptr;
    bool stopSuccess = false;

protected:
    bool succeeded() const override { return stopSuccess; }

private:
    void unload();

    const USBBlockerKeyChain& keyChain_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
