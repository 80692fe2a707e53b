#pragma once

#include "app/network/DMBaseDriveConfigurableViewController.h"
#include "network/NetworkDriveForm.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace harbormind {

// The form of a network drive: nickname, the composed address, the folder text, the account
// and the guest box. Every change is copied into the drive object at once.
class DMNetworkDriveConfigurableViewController final : public DMBaseDriveConfigurableViewController {
public:
    // The form starts with `initial` and copies it into `drive`.
    DMNetworkDriveConfigurableViewController(std::shared_ptr<DMNetworkDriveObject> drive,
                                             const NetworkDriveForm& initial, QWidget* parent);

    void setEditable(bool editable) override;
    NetworkDriveForm form() const;

    // Copies the form into the drive and shows the address it makes.
    void controlTextDidChange();
    void anonymousLogin_clickWithSender();

    QLineEdit* tfNickName() const { return tfNickName_; }
    QPushButton* btnURL() const { return btnURL_; }
    QLineEdit* tfServer() const { return tfServer_; }
    QLineEdit* tfUsername() const { return tfUsername_; }
    QCheckBox* cbAnonymousLogin() const { return cbAnonymousLogin_; }
    QLineEdit* tfPassword() const { return tfPassword_; }

private:
    void updateAccountFields();

    QLineEdit* tfNickName_;
    QPushButton* btnURL_;
    QLineEdit* tfServer_;
    QLineEdit* tfUsername_;
    QCheckBox* cbAnonymousLogin_;
    QLineEdit* tfPassword_;
    bool editable_ = true;
};

}  // namespace harbormind
