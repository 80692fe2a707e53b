#include "config/DMSetting.h"

#include "config/DMConfigurationManager.h"

namespace harbormind {

const std::vector<DMSetting>& DMSetting::all() {
    using M = DMConfigurationManager;
    static const std::vector<DMSetting> settings{
        {"statusBarIcon", "statusBarIcon", true, &M::statusBarIcon, &M::setStatusBarIcon},
        {"dockIcon", "dockIcon", true, &M::dockIcon, &M::setDockIcon},
        {"ignoreHibernationFileWhenMountingNtfsDrives", "ignoreHibernationFileWhenMountingNtfsDrives", true,
         &M::ignoreHibernationFileWhenMountingNtfsDrives, &M::setIgnoreHibernationFileWhenMountingNtfsDrives},
        {"automaticallyOpenDrivesAfterUnlocking", "automaticallyOpenDrivesAfterUnlocking", true,
         &M::automaticallyOpenDrivesAfterUnlocking, &M::setAutomaticallyOpenDrivesAfterUnlocking},
        {"automaticallyOpenDrivesAfterConnecting", "automaticallyOpenDrivesAfterConnecting", true,
         &M::automaticallyOpenDrivesAfterConnecting, &M::setAutomaticallyOpenDrivesAfterConnecting},
        {"notifyWhenDrivesAppears", "notifyWhenDrivesAppears", false, &M::notifyWhenDrivesAppears,
         &M::setNotifyWhenDrivesAppears},
        {"notifyWhenDrivesDisappears", "notifyWhenDrivesDisappears", false, &M::notifyWhenDrivesDisappears,
         &M::setNotifyWhenDrivesDisappears},
        // Two keys are not named after their accessors.
        {"notifyWhenDrivesAvailable", "notifyWhenConnectDrives", true, &M::notifyWhenConnectDrives,
         &M::setNotifyWhenConnectDrives},
        {"notifyWhenDrivesUnavailable", "notifyWhenDisconnectDrives", true, &M::notifyWhenDisconnectDrives,
         &M::setNotifyWhenDisconnectDrives},
        {"automaticallyDisconnectNetworkDrivesOnSleep", "automaticallyDisconnectNetworkDrivesOnSleep", false,
         &M::automaticallyDisconnectNetworkDrivesOnSleep, &M::setAutomaticallyDisconnectNetworkDrivesOnSleep},
        {"automaticallyConnectNetworkDrivesOnWake", "automaticallyConnectNetworkDrivesOnWake", false,
         &M::automaticallyConnectNetworkDrivesOnWake, &M::setAutomaticallyConnectNetworkDrivesOnWake},
        {"automaticallyUnmountExternalDrivesOnSleep", "automaticallyUnmountExternalDrivesOnSleep", false,
         &M::automaticallyUnmountExternalDrivesOnSleep, &M::setAutomaticallyUnmountExternalDrivesOnSleep},
        {"automaticallyLockEncryptedDrivesOnSleep", "automaticallyLockEncryptedDrivesOnSleep", false,
         &M::automaticallyLockEncryptedDrivesOnSleep, &M::setAutomaticallyLockEncryptedDrivesOnSleep},
    };
    return settings;
}

const DMSetting* DMSetting::withKey(const std::string& key) {
    for (const DMSetting& setting : all()) {
        if (key == setting.key) {
            return &setting;
        }
    }
    return nullptr;
}

}  // namespace harbormind
