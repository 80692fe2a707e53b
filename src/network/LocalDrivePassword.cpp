#include "network/LocalDrivePassword.h"

#include "drivemodel/DMLocalDriveObject.h"
#include "drivemodel/DMLocalDriveProperty.h"
#include "network/DriveKeychains.h"
#include "network/Keychains.h"

namespace harbormind {
namespace {

std::optional<std::string> flagOf(const DMLocalDriveObject& drive) {
    DMLocalDriveProperty property(drive.identifier());
    property.readFlag();
    property.readMediaType();
    return property.flag();
}

}  // namespace

std::optional<std::string> LocalDrivePassword::password(const DMLocalDriveObject& drive) {
    std::optional<std::string> flag = flagOf(drive);
    if (!flag) {
        return std::nullopt;
    }
    Keychains keychain(DriveKeychains::keyPrefix, DriveKeychains::local());
    return keychain.getString(*flag);
}

void LocalDrivePassword::setPassword(const DMLocalDriveObject& drive, const std::optional<std::string>& password) {
    std::optional<std::string> flag = flagOf(drive);
    if (!flag) {
        return;
    }
    Keychains keychain(DriveKeychains::keyPrefix, DriveKeychains::local());
    keychain.setString(password, *flag, KeychainsAccessOptions::accessibleWhenUnlockedAlways);
}

}  // namespace harbormind
