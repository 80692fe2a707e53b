#include "config/DMConfigurationManager.h"

#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/SettingsStores.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// Repeated Dock-icon clicks within this time cause one switch only.
constexpr Clock::Duration dockIconSwitchDelay = seconds(0.3);
// Changing the activation policy hides the windows; they are brought back this much later.
constexpr Clock::Duration windowsReturnDelay = seconds(0.1);

constexpr const char* helperSuffix = ".LaunchAtLoginHelper";

}  // namespace

DMConfigurationManager& DMConfigurationManager::shared() {
    static DMConfigurationManager* instance = [] {
        Platform& platform = Platform::current();
        return new DMConfigurationManager(platform.bundleIdentifier(), platform.settings().standard(),
                                          platform.loginItems(), nullptr);
    }();
    return *instance;
}

DMConfigurationManager::DMConfigurationManager(const std::string& bundleIdentifier,
                                               std::shared_ptr<SettingsStore> userDefaults, LoginItems* loginItems,
                                               std::shared_ptr<DMConfigurationEffects> effects)
    : helperBundleID_(bundleIdentifier.empty() ? std::string() : bundleIdentifier + helperSuffix),
      loginItems_(loginItems),
      effects_(std::move(effects)),
      _statusBarIcon("statusBarIcon", true, userDefaults),
      _dockIcon("dockIcon", true, userDefaults),
      _ignoreHibernationFileWhenMountingNtfsDrives("ignoreHibernationFileWhenMountingNtfsDrives", true, userDefaults),
      _automaticallyOpenDrivesAfterUnlocking("automaticallyOpenDrivesAfterUnlocking", true, userDefaults),
      _automaticallyOpenDrivesAfterConnecting("automaticallyOpenDrivesAfterConnecting", true, userDefaults),
      _notifyWhenDrivesAppears("notifyWhenDrivesAppears", false, userDefaults),
      _notifyWhenDrivesDisappears("notifyWhenDrivesDisappears", false, userDefaults),
      _notifyWhenConnectDrives("notifyWhenDrivesAvailable", true, userDefaults),
      _notifyWhenDisconnectDrives("notifyWhenDrivesUnavailable", true, userDefaults),
      _automaticallyDisconnectNetworkDrivesOnSleep("automaticallyDisconnectNetworkDrivesOnSleep", false, userDefaults),
      _automaticallyConnectNetworkDrivesOnWake("automaticallyConnectNetworkDrivesOnWake", false, userDefaults),
      _automaticallyUnmountExternalDrivesOnSleep("automaticallyUnmountExternalDrivesOnSleep", false, userDefaults),
      _automaticallyLockEncryptedDrivesOnSleep("automaticallyLockEncryptedDrivesOnSleep", false, userDefaults),
      _appearance("appearance", appearanceWord(DMAppearance::system), userDefaults) {
    if (helperBundleID_.empty()) {
        Log::error("configuration: no bundle identifier, launch at login is unavailable");
    }
    if (effects_) {
        effects_->setIgnoreHibernateFile(_ignoreHibernationFileWhenMountingNtfsDrives.value());
    }
}

DMConfigurationManager::~DMConfigurationManager() {
    if (dockIconTimer) {
        dockIconTimer->invalidate();
    }
}

void DMConfigurationManager::setEffects(std::shared_ptr<DMConfigurationEffects> effects) {
    effects_ = std::move(effects);
    if (effects_) {
        effects_->setIgnoreHibernateFile(_ignoreHibernationFileWhenMountingNtfsDrives.value());
    }
}

bool DMConfigurationManager::statusBarIcon() const { return _statusBarIcon.value(); }

void DMConfigurationManager::setStatusBarIcon(bool value) {
    _statusBarIcon.setValue(value);
    if (!effects_) {
        return;
    }
    if (value) {
        effects_->createStatusItem();
    } else {
        effects_->removeStatusItem();
    }
}

bool DMConfigurationManager::dockIcon() const { return _dockIcon.value(); }

void DMConfigurationManager::setDockIcon(bool value) {
    _dockIcon.setValue(value);
    if (dockIconTimer) {
        dockIconTimer->invalidate();
    }
    dockIconTimer = Timer::scheduled(Dispatch::mainQueue(), dockIconSwitchDelay, TimerRepeat::Once,
                                     [this] { switchActivationPolicy(); });
}

void DMConfigurationManager::switchActivationPolicy() {
    dockIconTimer.reset();
    if (!effects_) {
        return;
    }
    std::vector<std::shared_ptr<DMWindowHandle>> windows = effects_->visibleWindows();
    effects_->setActivationPolicy(dockIcon() ? DMActivationPolicy::Regular : DMActivationPolicy::Accessory);
    // The follow-up holds the effects and the windows itself, so it needs nothing of this
    // object when it runs.
    Dispatch::mainQueue()->asyncAfter(windowsReturnDelay, [effects = effects_, windows = std::move(windows)] {
        for (const std::shared_ptr<DMWindowHandle>& window : windows) {
            window->makeKeyAndOrderFront();
        }
        effects->activateIgnoringOtherApps();
    });
}

bool DMConfigurationManager::ignoreHibernationFileWhenMountingNtfsDrives() const {
    return _ignoreHibernationFileWhenMountingNtfsDrives.value();
}

void DMConfigurationManager::setIgnoreHibernationFileWhenMountingNtfsDrives(bool value) {
    _ignoreHibernationFileWhenMountingNtfsDrives.setValue(value);
    if (effects_) {
        // The value the store holds now, as the NTFS service must follow what is saved.
        effects_->setIgnoreHibernateFile(_ignoreHibernationFileWhenMountingNtfsDrives.value());
    }
}

bool DMConfigurationManager::automaticallyOpenDrivesAfterUnlocking() const {
    return _automaticallyOpenDrivesAfterUnlocking.value();
}
void DMConfigurationManager::setAutomaticallyOpenDrivesAfterUnlocking(bool value) {
    _automaticallyOpenDrivesAfterUnlocking.setValue(value);
}

bool DMConfigurationManager::automaticallyOpenDrivesAfterConnecting() const {
    return _automaticallyOpenDrivesAfterConnecting.value();
}
void DMConfigurationManager::setAutomaticallyOpenDrivesAfterConnecting(bool value) {
    _automaticallyOpenDrivesAfterConnecting.setValue(value);
}

bool DMConfigurationManager::notifyWhenDrivesAppears() const { return _notifyWhenDrivesAppears.value(); }
void DMConfigurationManager::setNotifyWhenDrivesAppears(bool value) { _notifyWhenDrivesAppears.setValue(value); }

bool DMConfigurationManager::notifyWhenDrivesDisappears() const { return _notifyWhenDrivesDisappears.value(); }
void DMConfigurationManager::setNotifyWhenDrivesDisappears(bool value) {
    _notifyWhenDrivesDisappears.setValue(value);
}

bool DMConfigurationManager::notifyWhenConnectDrives() const { return _notifyWhenConnectDrives.value(); }
void DMConfigurationManager::setNotifyWhenConnectDrives(bool value) { _notifyWhenConnectDrives.setValue(value); }

bool DMConfigurationManager::notifyWhenDisconnectDrives() const { return _notifyWhenDisconnectDrives.value(); }
void DMConfigurationManager::setNotifyWhenDisconnectDrives(bool value) {
    _notifyWhenDisconnectDrives.setValue(value);
}

bool DMConfigurationManager::automaticallyDisconnectNetworkDrivesOnSleep() const {
    return _automaticallyDisconnectNetworkDrivesOnSleep.value();
}
void DMConfigurationManager::setAutomaticallyDisconnectNetworkDrivesOnSleep(bool value) {
    _automaticallyDisconnectNetworkDrivesOnSleep.setValue(value);
}

bool DMConfigurationManager::automaticallyConnectNetworkDrivesOnWake() const {
    return _automaticallyConnectNetworkDrivesOnWake.value();
}
void DMConfigurationManager::setAutomaticallyConnectNetworkDrivesOnWake(bool value) {
    _automaticallyConnectNetworkDrivesOnWake.setValue(value);
}

bool DMConfigurationManager::automaticallyUnmountExternalDrivesOnSleep() const {
    return _automaticallyUnmountExternalDrivesOnSleep.value();
}
void DMConfigurationManager::setAutomaticallyUnmountExternalDrivesOnSleep(bool value) {
    _automaticallyUnmountExternalDrivesOnSleep.setValue(value);
}

bool DMConfigurationManager::automaticallyLockEncryptedDrivesOnSleep() const {
    return _automaticallyLockEncryptedDrivesOnSleep.value();
}
void DMConfigurationManager::setAutomaticallyLockEncryptedDrivesOnSleep(bool value) {
    _automaticallyLockEncryptedDrivesOnSleep.setValue(value);
}

DMAppearance DMConfigurationManager::appearance() const {
    return appearanceNamed(_appearance.value()).value_or(DMAppearance::system);
}

void DMConfigurationManager::setAppearance(DMAppearance value) {
    _appearance.setValue(appearanceWord(value));
    if (effects_) {
        effects_->setAppearance(value);
    }
}

void DMConfigurationManager::toggleEnableDebugLogging() {
    bool value = !enableDebugLogging_;
    if (effects_) {
        effects_->setNtfsDebugLogging(value);
    }
    enableDebugLogging_ = value;
}

bool DMConfigurationManager::launchAtLogin() const {
    if (!loginItems_ || helperBundleID_.empty()) {
        return false;
    }
    return loginItems_->state(helperBundleID_) == LoginItemState::Enabled;
}

void DMConfigurationManager::setLaunchAtLogin(bool value) {
    if (!loginItems_ || helperBundleID_.empty()) {
        return;
    }
    if (!loginItems_->setState(helperBundleID_, value ? LoginItemState::Enabled : LoginItemState::Disabled)) {
        Log::warning("configuration: the login item " + helperBundleID_ + " could not be switched");
    }
}

}  // namespace harbormind
