#pragma once

#include <memory>

#include "app/usb/USBPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace harbormind {

class DMAlertPresenter;
class USBBlockerKeyChain;

// The password page: the old password, then the new one twice.
class USBChangePasswordViewController final : public USBPage {
public:
    USBChangePasswordViewController(QWidget* parent, const USBBlockerKeyChain& keyChain,
                                    std::shared_ptr<DMAlertPresenter> presenter);

    void pageShown() override;
    void btnChangePassword_click();

    QLineEdit* editOldPassword = nullptr;
    QLineEdit* editNewPassword = nullptr;
    QLineEdit* editaffirmancePassword = nullptr;
    QPushButton* btnChangePassword = nullptr;
    QLabel* lbErrorTip = nullptr;

private:
    void edited();
    void clearFields();

    const USBBlockerKeyChain& keyChain_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
