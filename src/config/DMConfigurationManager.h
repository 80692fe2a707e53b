#pragma once

#include <memory>
#include <string>

#include "config/DMAppearance.h"
#include "config/DMConfigurationEffects.h"
#include "config/UserDefault.h"
#include "platform/LoginItems.h"
#include "platform/SettingsStore.h"
#include "support/Timer.h"

namespace harbormind {

// The application's user settings: thirteen stored on/off settings, the window's look, the
// in-memory debug switch and launch at login, with what each does the moment it changes. Used on
// the main thread only.
class DMConfigurationManager {
public:
    // The process-wide instance, made on first use from the current platform and kept until
    // the process ends.
    static DMConfigurationManager& shared();

    // `effects` may be absent (a process without a shell); it can be attached later.
    DMConfigurationManager(const std::string& bundleIdentifier, std::shared_ptr<SettingsStore> userDefaults,
                           LoginItems* loginItems, std::shared_ptr<DMConfigurationEffects> effects);
    ~DMConfigurationManager();
    DMConfigurationManager(const DMConfigurationManager&) = delete;
    DMConfigurationManager& operator=(const DMConfigurationManager&) = delete;

    // Attaches the shell's effects and hands them the stored hibernation flag, as at creation.
    void setEffects(std::shared_ptr<DMConfigurationEffects> effects);

    const std::string& helperBundleID() const { return helperBundleID_; }

    bool statusBarIcon() const;
    void setStatusBarIcon(bool value);
    bool dockIcon() const;
    void setDockIcon(bool value);
    bool ignoreHibernationFileWhenMountingNtfsDrives() const;
    void setIgnoreHibernationFileWhenMountingNtfsDrives(bool value);
    bool automaticallyOpenDrivesAfterUnlocking() const;
    void setAutomaticallyOpenDrivesAfterUnlocking(bool value);
    bool automaticallyOpenDrivesAfterConnecting() const;
    void setAutomaticallyOpenDrivesAfterConnecting(bool value);
    bool notifyWhenDrivesAppears() const;
    void setNotifyWhenDrivesAppears(bool value);
    bool notifyWhenDrivesDisappears() const;
    void setNotifyWhenDrivesDisappears(bool value);
    bool notifyWhenConnectDrives() const;
    void setNotifyWhenConnectDrives(bool value);
    bool notifyWhenDisconnectDrives() const;
    void setNotifyWhenDisconnectDrives(bool value);
    bool automaticallyDisconnectNetworkDrivesOnSleep() const;
    void setAutomaticallyDisconnectNetworkDrivesOnSleep(bool value);
    bool automaticallyConnectNetworkDrivesOnWake() const;
    void setAutomaticallyConnectNetworkDrivesOnWake(bool value);
    bool automaticallyUnmountExternalDrivesOnSleep() const;
    void setAutomaticallyUnmountExternalDrivesOnSleep(bool value);
    bool automaticallyLockEncryptedDrivesOnSleep() const;
    void setAutomaticallyLockEncryptedDrivesOnSleep(bool value);

    // Light, dark or the desktop's colour scheme (the default); a change reaches the effects.
    DMAppearance appearance() const;
    void setAppearance(DMAppearance value);

    // In memory only: false at every start.
    bool enableDebugLogging() const { return enableDebugLogging_; }
    void toggleEnableDebugLogging();

    // Whether the login helper starts at login, as the platform's login items say; failures
    // of the switch are not reported.
    bool launchAtLogin() const;
    void setLaunchAtLogin(bool value);

private:
    void switchActivationPolicy();

    std::string helperBundleID_;
    LoginItems* loginItems_;
    std::shared_ptr<DMConfigurationEffects> effects_;
    std::shared_ptr<Timer> dockIconTimer;

    UserDefault<bool> _statusBarIcon;
    UserDefault<bool> _dockIcon;
    UserDefault<bool> _ignoreHibernationFileWhenMountingNtfsDrives;
    UserDefault<bool> _automaticallyOpenDrivesAfterUnlocking;
    UserDefault<bool> _automaticallyOpenDrivesAfterConnecting;
    UserDefault<bool> _notifyWhenDrivesAppears;
    UserDefault<bool> _notifyWhenDrivesDisappears;
    UserDefault<bool> _notifyWhenConnectDrives;
    UserDefault<bool> _notifyWhenDisconnectDrives;
    UserDefault<bool> _automaticallyDisconnectNetworkDrivesOnSleep;
    UserDefault<bool> _automaticallyConnectNetworkDrivesOnWake;
    UserDefault<bool> _automaticallyUnmountExternalDrivesOnSleep;
    UserDefault<bool> _automaticallyLockEncryptedDrivesOnSleep;
    UserDefault<std::string> _appearance;
    bool enableDebugLogging_ = false;
};

}  // namespace harbormind
