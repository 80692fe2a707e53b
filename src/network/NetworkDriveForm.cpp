#include "network/NetworkDriveForm.h"

#include "network/DMNetworkDriveObject.h"
#include "network/NetworkDriveFolderText.h"

namespace harbormind {

NetworkDriveForm NetworkDriveForm::from(const DMNetworkDriveObject& drive) {
    NetworkDriveForm form;
    form.nickname = drive.name();
    form.folder = drive.host() + drive.dir();
    form.userName = drive.userName();
    form.password = drive.password().value_or("");
    form.anonymous = drive.anonymous();
    return form;
}

void NetworkDriveForm::applyTo(DMNetworkDriveObject& drive) const {
    NetworkDriveFolderText::Address address = NetworkDriveFolderText::address(drive.scheme(), folder);
    drive.setHost(address.host);
    drive.setDir(address.dir);
    drive.setName(nickname);
    drive.setUserName(userName);
    // An empty password is no password: nothing is kept for it in the keychain.
    drive.setPassword(password.empty() ? std::nullopt : std::optional<std::string>(password));
    drive.setAnonymous(anonymous);
    drive.refreshIdentifier();
}

}  // namespace harbormind
