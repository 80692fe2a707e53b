#include "platform/linux/LinuxPlatform.h"
#include "platform/HttpClient.h"

#include <cstdlib>
#include <filesystem>

#include "platform/linux/files/LinuxCacheFolders.h"
#include "platform/linux/desktop/LinuxCommandTable.h"
#include "platform/linux/disks/LinuxDeviceNaming.h"
#include "platform/linux/desktop/LogindSleepWatcher.h"
#include "platform/linux/desktop/FreedesktopNotifications.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "platform/linux/files/LinuxFileContents.h"
#include "platform/linux/files/LinuxFileEvents.h"
#include "platform/linux/files/LinuxFileSystemInfo.h"
#include "platform/linux/files/LinuxJunkLocations.h"
#include "platform/linux/files/LinuxFileStore.h"
#include "platform/linux/settings/LinuxKeychainFiles.h"
#include "platform/linux/network/LinuxNetworkMounter.h"
#include "platform/linux/desktop/LinuxLoginItems.h"
#include "platform/linux/desktop/LinuxPowerSource.h"
#include "platform/linux/processes/LinuxProcessLauncher.h"
#include "platform/linux/processes/LinuxScriptRunner.h"
#include "platform/linux/settings/LinuxSettingsStores.h"
#include "platform/linux/desktop/LinuxUSBBlockerPaths.h"
#include "platform/linux/desktop/LinuxPasteboard.h"
#include "platform/linux/files/LinuxUserData.h"
#include "platform/linux/mounting/LinuxDiskImages.h"
#include "platform/linux/processes/LinuxPackageManager.h"
#include "platform/linux/processes/LinuxUpdateInstaller.h"
#include "platform/linux/processes/LinuxUserDatabase.h"
#include "platform/linux/disks/LinuxWholeDiskNames.h"
#include "platform/linux/desktop/LinuxWorkspace.h"
#include "platform/linux/disks/LinuxDeviceRegistry.h"
#include "platform/linux/diskevents/LinuxDiskArbitration.h"
#include "platform/linux/diskevents/LinuxDiskWatcher.h"
#include "platform/linux/mounting/LinuxMountHelper.h"
#include "platform/linux/mounting/MountRequests.h"
#include "platform/linux/mounting/LinuxNtfsDriverCheck.h"

namespace harbormind {
namespace {

// $XDG_DATA_HOME/kestrane-harbormind, or ~/.local/share/kestrane-harbormind.
std::string dataFolder(UserDatabase& users) {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base = data != nullptr && data[0] == '/' ? data : users.processHome() + "/.local/share";
    return base + "/kestrane-harbormind";
}

std::string runningProgram() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("harbormind") : path.string();
}

}  // namespace

LinuxPlatform::LinuxPlatform() : LinuxPlatform(LinuxPaths{}) {}

LinuxPlatform::LinuxPlatform(LinuxPaths paths) : paths_(std::move(paths)) {
    if (paths_.mountHelper.empty()) {
        paths_.mountHelper = LinuxMountHelper::locate(paths_);
    }
    processes_ = std::make_unique<LinuxProcessLauncher>();
    scripts_ = std::make_unique<LinuxScriptRunner>(*processes_);
    powerSource_ = std::make_unique<LinuxPowerSource>();
    settings_ = std::make_unique<LinuxSettingsStores>(LinuxSettingsStores::defaultFolder(), bundleIdentifier());
    users_ = std::make_unique<LinuxUserDatabase>();
    workspace_ = std::make_unique<LinuxWorkspace>();
    fileSystem_ = std::make_unique<LinuxFileSystemInfo>();

    watcher_ = std::make_shared<LinuxDiskWatcher>(paths_);
    std::weak_ptr<LinuxDiskWatcher> weak = watcher_;
    registry_ = std::make_shared<LinuxDeviceRegistry>(
        paths_,
        [weak](const SysfsBlockDevice& device) {
            auto watcher = weak.lock();
            return watcher ? watcher->facts(device) : VolumeFacts{};
        },
        [weak, root = paths_.sysfsRoot](const std::string& name) {
            auto watcher = weak.lock();
            return watcher ? watcher->knownDevice(name) : SysfsBlockDevice::read(root, name);
        });
    diskArbitration_ =
        std::make_unique<LinuxDiskArbitration>(watcher_, registry_, MountRequests::forThisProcess(paths_.mediaRoot));
    commands_ = std::make_unique<LinuxCommandTable>(paths_.mountHelper);
    naming_ = std::make_unique<LinuxDeviceNaming>(paths_.sysfsRoot);

    directoryWalker_ = std::make_unique<LinuxDirectoryWalker>();
    fileContents_ = std::make_unique<LinuxFileContents>();
    fileEvents_ = std::make_unique<LinuxFileEvents>();
    junkLocations_ = std::make_unique<LinuxJunkLocations>();
    keychainFiles_ = std::make_unique<LinuxKeychainFiles>(dataFolder(*users_) + "/keychains/default.keychain");
    fileStore_ = std::make_unique<LinuxFileStore>();
    cacheFolders_ = std::make_unique<LinuxCacheFolders>();
    networkMounter_ = std::make_unique<LinuxNetworkMounter>(*processes_);
    loginItems_ = std::make_unique<LinuxLoginItems>(LinuxLoginItems::defaultFolder(), "Kestrane Harbormind",
                                                    std::vector<std::string>{runningProgram()});
    usbBlockerPaths_ = std::make_unique<LinuxUSBBlockerPaths>();
    pasteboard_ = std::make_unique<LinuxPasteboard>(LinuxPasteboard::defaultFolder());
    packageManager_ = std::make_unique<LinuxPackageManager>(*processes_, runningProgram());
    diskImages_ = std::make_unique<LinuxDiskImages>();
    updateInstaller_ = std::make_unique<LinuxUpdateInstaller>();
    // What uninstalling takes away for this user: settings, the data folder (the default
    // keychain), the keychains and saved network drives kept in the home folder, and the
    // launch-at-login entry.
    const std::string home = users_->processHome();
    userData_ = std::make_unique<LinuxUserData>(
        std::vector<std::string>{LinuxSettingsStores::defaultFolder(), dataFolder(*users_)},
        std::vector<std::string>{home + "/localdrives.keychain", home + "/networkdrives.keychain",
                                 home + "/usbblocker.keychain", home + "/nwd.plist",
                                 LinuxLoginItems::defaultFolder() + "/" + bundleIdentifier() + ".LaunchAtLoginHelper.desktop"});
    wholeDiskNames_ = std::make_unique<LinuxWholeDiskNames>();
}

LinuxPlatform::~LinuxPlatform() = default;

void LinuxPlatform::shutDown() {
    watcher_->stop();
    if (sleepWake_) {
        sleepWake_->stopObserving();
    }
    if (notifications_) {
        notifications_->stopListening();
    }
}

DiskArbitration& LinuxPlatform::diskArbitration() { return *diskArbitration_; }
DeviceRegistry& LinuxPlatform::registry() { return *registry_; }
PowerSource& LinuxPlatform::powerSource() { return *powerSource_; }
SettingsStores& LinuxPlatform::settings() { return *settings_; }
UserDatabase& LinuxPlatform::users() { return *users_; }
CommandTable& LinuxPlatform::commands() { return *commands_; }
ProcessLauncher& LinuxPlatform::processes() { return *processes_; }
ScriptRunner& LinuxPlatform::scripts() { return *scripts_; }
Workspace& LinuxPlatform::workspace() { return *workspace_; }
FileSystemInfo& LinuxPlatform::fileSystem() { return *fileSystem_; }
DeviceNaming& LinuxPlatform::deviceNaming() { return *naming_; }
bool LinuxPlatform::isNtfsDriverInstalled() { return LinuxNtfsDriverCheck().present(); }
DirectoryWalker* LinuxPlatform::directoryWalker() { return directoryWalker_.get(); }
FileContents* LinuxPlatform::fileContents() { return fileContents_.get(); }
FileEvents* LinuxPlatform::fileEvents() { return fileEvents_.get(); }
JunkLocations* LinuxPlatform::junkLocations() { return junkLocations_.get(); }
FileStore* LinuxPlatform::fileStore() { return fileStore_.get(); }
HttpClient* LinuxPlatform::httpClient() { return httpClient_.get(); }
void LinuxPlatform::setHttpClient(std::unique_ptr<HttpClient> client) { httpClient_ = std::move(client); }
CacheFolders* LinuxPlatform::cacheFolders() { return cacheFolders_.get(); }
NetworkMounter* LinuxPlatform::networkMounter() { return networkMounter_.get(); }
KeychainFiles* LinuxPlatform::keychainFiles() { return keychainFiles_.get(); }

SleepWakeNotifications* LinuxPlatform::sleepWake() {
    // Made on first use: only the window follows sleep and wake, and it connects to the
    // system bus only then.
    if (!sleepWake_) {
        sleepWake_ = std::make_unique<LogindSleepWatcher>();
    }
    return sleepWake_.get();
}

Notifications* LinuxPlatform::notifications() {
    if (!notifications_) {
        notifications_ = std::make_unique<FreedesktopNotifications>("Kestrane Harbormind");
    }
    return notifications_.get();
}

LoginItems* LinuxPlatform::loginItems() { return loginItems_.get(); }
Pasteboard* LinuxPlatform::pasteboard() { return pasteboard_.get(); }
PackageManager* LinuxPlatform::packageManager() { return packageManager_.get(); }
DiskImages* LinuxPlatform::diskImages() { return diskImages_.get(); }
UpdateInstaller* LinuxPlatform::updateInstaller() { return updateInstaller_.get(); }
UserData* LinuxPlatform::userData() { return userData_.get(); }
USBBlockerPaths* LinuxPlatform::usbBlockerPaths() { return usbBlockerPaths_.get(); }
WholeDiskNames* LinuxPlatform::wholeDiskNames() { return wholeDiskNames_.get(); }
LinuxDiskWatcher& LinuxPlatform::diskWatcher() { return *watcher_; }

}  // namespace harbormind
