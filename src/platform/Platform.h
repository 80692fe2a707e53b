#pragma once

#include <memory>
#include <string>
#include <vector>

namespace harbormind {

class CommandTable;
class DeviceNaming;
class DeviceRegistry;
class DiskArbitration;
class FileSystemInfo;
class PowerSource;
class ProcessLauncher;
class ScriptRunner;
class SettingsStores;
class UserDatabase;
class Workspace;
// Services added by later layers; a platform without one answers nullptr.
class CacheFolders;
class DirectoryWalker;
class DiskImages;
class FileContents;
class FileEvents;
class FileStore;
class HttpClient;
class JunkLocations;
class KeychainFiles;
class LoginItems;
class NetworkMounter;
class Notifications;
class PackageManager;
class Pasteboard;
class SleepWakeNotifications;
class UpdateInstaller;
class USBBlockerPaths;
class UserData;
class WholeDiskNames;

// Everything the system asks of the machine it runs on. The system's own code reaches the
// machine only through here; the simulated and the Linux platform implement it.
class Platform {
public:
    virtual ~Platform() = default;

    virtual std::string name() const = 0;
    // The application's identifier: it names the standard settings domain and is the base of
    // the identifiers of the application's helpers.
    virtual std::string bundleIdentifier() const { return "com.kestrane.harbormind"; }

    virtual DiskArbitration& diskArbitration() = 0;
    virtual DeviceRegistry& registry() = 0;
    virtual PowerSource& powerSource() = 0;
    virtual SettingsStores& settings() = 0;
    virtual UserDatabase& users() = 0;
    virtual CommandTable& commands() = 0;
    virtual ProcessLauncher& processes() = 0;
    virtual ScriptRunner& scripts() = 0;
    virtual Workspace& workspace() = 0;
    virtual FileSystemInfo& fileSystem() = 0;
    // Device-name rules and the system's protected mount points; a platform whose names
    // differ overrides it.
    virtual DeviceNaming& deviceNaming();

    virtual CacheFolders* cacheFolders() { return nullptr; }
    virtual DirectoryWalker* directoryWalker() { return nullptr; }
    virtual DiskImages* diskImages() { return nullptr; }
    virtual FileContents* fileContents() { return nullptr; }
    virtual FileEvents* fileEvents() { return nullptr; }
    virtual FileStore* fileStore() { return nullptr; }
    virtual HttpClient* httpClient() { return nullptr; }
    virtual JunkLocations* junkLocations() { return nullptr; }
    virtual KeychainFiles* keychainFiles() { return nullptr; }
    virtual LoginItems* loginItems() { return nullptr; }
    virtual NetworkMounter* networkMounter() { return nullptr; }
    virtual Notifications* notifications() { return nullptr; }
    virtual Pasteboard* pasteboard() { return nullptr; }
    virtual PackageManager* packageManager() { return nullptr; }
    virtual UpdateInstaller* updateInstaller() { return nullptr; }
    virtual UserData* userData() { return nullptr; }
    virtual SleepWakeNotifications* sleepWake() { return nullptr; }
    virtual USBBlockerPaths* usbBlockerPaths() { return nullptr; }
    virtual WholeDiskNames* wholeDiskNames() { return nullptr; }

    // The files whose presence means the NTFS and BitLocker driver is installed (all of them
    // must exist). A platform with another driver names its own files.
    virtual std::vector<std::string> driverPresencePaths() const {
        return {"/Library/Filesystems/kestrane_NTFS.fs", "/Library/Extensions/qv_ntfs.kext",
                "/Library/Extensions/VolumeLockMedia.kext"};
    }

    // Whether the NTFS driver counts as installed: by default every one of
    // driverPresencePaths() exists; a platform whose driver is found another way answers itself.
    virtual bool isNtfsDriverInstalled();

    // Ends the platform's background threads (disk events, polls) and waits for them. The
    // program calls it before it returns from main, so that none of them still runs while
    // the process's static objects are destroyed. Afterwards nothing is reported any more.
    virtual void shutDown() {}

    // The platform the process runs on; set once at start-up (tests set their own).
    static Platform& current();
    static bool hasCurrent();
    static void setCurrent(std::shared_ptr<Platform> platform);
    // Shuts down the current platform and every one it replaced (they are kept alive).
    static void shutDownAll();
};

}  // namespace harbormind
