#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/linux/disks/LinuxPaths.h"

namespace harbormind {

class FreedesktopNotifications;
class LinuxCommandTable;
class LinuxDeviceNaming;
class LinuxDeviceRegistry;
class LinuxDiskArbitration;
class LinuxDiskWatcher;

// The real machine: disks from sysfs, libblkid, the mount table and kernel events; mounts
// through the mount helper; the other services of the desktop. The default platform of
// every program.
class LinuxPlatform final : public Platform {
public:
    LinuxPlatform();
    explicit LinuxPlatform(LinuxPaths paths);
    ~LinuxPlatform() override;

    std::string name() const override { return "linux"; }
    // The disk watcher's threads, and the bus threads of sleep and notification events.
    void shutDown() override;

    DiskArbitration& diskArbitration() override;
    DeviceRegistry& registry() override;
    PowerSource& powerSource() override;
    SettingsStores& settings() override;
    UserDatabase& users() override;
    CommandTable& commands() override;
    ProcessLauncher& processes() override;
    ScriptRunner& scripts() override;
    Workspace& workspace() override;
    FileSystemInfo& fileSystem() override;
    DeviceNaming& deviceNaming() override;
    // ntfs-3g or the kernel's ntfs3 (LinuxNtfsDriverCheck).
    bool isNtfsDriverInstalled() override;

    CacheFolders* cacheFolders() override;
    DirectoryWalker* directoryWalker() override;
    FileContents* fileContents() override;
    FileEvents* fileEvents() override;
    FileStore* fileStore() override;
    HttpClient* httpClient() override;
    // None until the program gives one: only a program that checks for updates links an HTTP
    // client (and the libraries it loads at start-up).
    void setHttpClient(std::unique_ptr<HttpClient> client);
    JunkLocations* junkLocations() override;
    KeychainFiles* keychainFiles() override;
    LoginItems* loginItems() override;
    Pasteboard* pasteboard() override;
    PackageManager* packageManager() override;
    DiskImages* diskImages() override;
    UpdateInstaller* updateInstaller() override;
    UserData* userData() override;
    NetworkMounter* networkMounter() override;
    USBBlockerPaths* usbBlockerPaths() override;
    WholeDiskNames* wholeDiskNames() override;
    SleepWakeNotifications* sleepWake() override;
    Notifications* notifications() override;

    LinuxDiskWatcher& diskWatcher();
    const LinuxPaths& paths() const { return paths_; }

private:
    LinuxPaths paths_;
    std::unique_ptr<ProcessLauncher> processes_;
    std::unique_ptr<ScriptRunner> scripts_;
    std::unique_ptr<PowerSource> powerSource_;
    std::unique_ptr<SettingsStores> settings_;
    std::unique_ptr<UserDatabase> users_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<FileSystemInfo> fileSystem_;
    std::shared_ptr<LinuxDiskWatcher> watcher_;
    std::shared_ptr<LinuxDeviceRegistry> registry_;
    std::unique_ptr<LinuxDiskArbitration> diskArbitration_;
    std::unique_ptr<LinuxCommandTable> commands_;
    std::unique_ptr<LinuxDeviceNaming> naming_;
    std::unique_ptr<DirectoryWalker> directoryWalker_;
    std::unique_ptr<FileContents> fileContents_;
    std::unique_ptr<FileEvents> fileEvents_;
    std::unique_ptr<JunkLocations> junkLocations_;
    std::unique_ptr<KeychainFiles> keychainFiles_;
    std::unique_ptr<LoginItems> loginItems_;
    std::unique_ptr<Pasteboard> pasteboard_;
    std::unique_ptr<PackageManager> packageManager_;
    std::unique_ptr<DiskImages> diskImages_;
    std::unique_ptr<UpdateInstaller> updateInstaller_;
    std::unique_ptr<UserData> userData_;
    std::unique_ptr<SleepWakeNotifications> sleepWake_;
    std::unique_ptr<FreedesktopNotifications> notifications_;
    std::unique_ptr<FileStore> fileStore_;
    std::unique_ptr<HttpClient> httpClient_;
    std::unique_ptr<CacheFolders> cacheFolders_;
    std::unique_ptr<NetworkMounter> networkMounter_;
    std::unique_ptr<USBBlockerPaths> usbBlockerPaths_;
    std::unique_ptr<WholeDiskNames> wholeDiskNames_;
};

}  // namespace harbormind
