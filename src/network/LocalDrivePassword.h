#pragma once

#include <optional>
#include <string>

namespace harbormind {

class DMLocalDriveObject;

// The saved password of a local drive, kept in "localdrives.keychain" under the drive's
// flag (its identity across attachments). A drive without a flag has no password: reading
// answers none and writing does nothing. Writing none deletes the saved password.
class LocalDrivePassword {
public:
    static std::optional<std::string> password(const DMLocalDriveObject& drive);
    static void setPassword(const DMLocalDriveObject& drive, const std::optional<std::string>& password);
};

}  // namespace harbormind
