#pragma once

#include <string>

namespace harbormind {

class DMNetworkDriveObject;

// What a person types to describe a network drive: a nickname, one folder text naming the
// server and the shared folder, an account, and whether to log in as a guest. The editor
// window and `harbormindctl network edit` both turn it into a drive's fields here.
struct NetworkDriveForm {
    std::string nickname;
    std::string folder;
    std::string userName;
    std::string password;
    bool anonymous = false;

    // The form filled from a drive: the folder is its host followed by its folder.
    static NetworkDriveForm from(const DMNetworkDriveObject& drive);

    // Copies the form into `drive`: host and folder from the folder text (see
    // NetworkDriveFolderText), then name, account, password and the guest flag. The
    // identifier is recomputed.
    void applyTo(DMNetworkDriveObject& drive) const;
};

}  // namespace harbormind
