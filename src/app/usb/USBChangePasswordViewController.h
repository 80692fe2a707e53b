#pragma once

#include <memory>

#include "app/usb/USBPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace harbormind {

class DMAlertPresenter;
class DMUSBBlockerWrapper;

// The password page: the old password, then the new one twice. The daemon checks the old
// one and keeps the new one. Its title says whether a password is set already.
class USBChangePasswordViewController final : public USBPage {
public:
    USBChangePasswordViewController(QWidget* parent, DMUSBBlockerWrapper& wrapper,
                                    std::shared_ptr<DMAlertPresenter> presenter);

    void pageShown() override;
    void btnChangePassword_click();

    QLineEdit* editOldPassword = nullptr;
    QLineEdit* editNewPassword = nullptr;
    QLineEdit* editaffirmancePassword = nullptr;
    QPushButton* btnChangePassword = nullptr;
    QLabel* lbErrorTip = nullptr;
    QLabel* lbTitle = nullptr;

private:
    void edited();
    void clearFields();

    DMUSBBlockerWrapper& wrapper_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
