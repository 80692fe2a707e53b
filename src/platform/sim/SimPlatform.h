#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DADissenter.h"
#include "platform/DiskDescription.h"
#include "platform/Platform.h"
#include "platform/PlatformValue.h"
#include "platform/sim/SimJunkLocations.h"
#include "platform/sim/SimLoadResult.h"
#include "platform/sim/SimPathInfo.h"
#include "platform/sim/SimRequest.h"
#include "platform/sim/SimScenario.h"
#include "platform/sim/SimScriptRunner.h"

namespace harbormind {

class SimCommandTable;
class SimDeviceRegistry;
class SimDiskArbitration;
class SimFileContents;
class SimFileEvents;
class SimFileSystemInfo;
class SimFileStore;
class SimKeychainFiles;
class SimNetworkMounter;
class SimLoginItems;
class SimPackageManager;
class SimDiskImages;
class SimUpdateInstaller;
class SimPasteboard;
class SimUserData;
class SimMachine;
class SimPowerSource;
class SimProcessLauncher;
class SimSettingsStores;
class SimUSBBlockerPaths;
class SimUserDatabase;
class SimWorkspace;

// A whole machine in memory, described by a scenario file (docs/scenarios.md) or built in
// code. Besides the platform services it offers tests their controls (disks coming and
// going, keys changing, mounts) and the record of every request and command line.
//
// The scenario's timed events start counting when the first disk-arbitration session is
// created or when start() is called, whichever comes first.
class SimPlatform final : public Platform {
public:
    static SimLoadResult load(const std::string& path);
    static SimLoadResult fromJson(const std::string& text);
    // An empty machine, for tests that add what they need.
    static std::shared_ptr<SimPlatform> empty();

    explicit SimPlatform(SimScenario scenario);
    ~SimPlatform() override;

    std::string name() const override;
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
    JunkLocations* junkLocations() override { static SimJunkLocations locations; return &locations; }
    KeychainFiles* keychainFiles() override;
    FileStore* fileStore() override;
    NetworkMounter* networkMounter() override;
    // The simulated network and user files, for tests to script.
    SimNetworkMounter& simNetworkMounter() { return *networkMounter_; }
    SimFileStore& simFileStore() { return *fileStore_; }
    LoginItems* loginItems() override;
    FileContents* fileContents() override;
    FileEvents* fileEvents() override;
    USBBlockerPaths* usbBlockerPaths() override;
    Pasteboard* pasteboard() override;
    PackageManager* packageManager() override;
    DiskImages* diskImages() override;
    UpdateInstaller* updateInstaller() override;
    SimUpdateInstaller& simUpdateInstaller() { return *updateInstaller_; }
    SimDiskImages& simDiskImages() { return *diskImages_; }
    UserData* userData() override;
    SimPasteboard& simPasteboard() { return *pasteboard_; }
    SimPackageManager& simPackageManager() { return *packageManager_; }
    SimUserData& simUserData() { return *userData_; }

    // The scenario's "daemon" section, untouched, for the simulated helper daemon.
    PlatformValue::Dictionary daemonAnswers() const;
    // Any other top-level section of the scenario, for the layer that reads it.
    std::optional<PlatformValue> section(const std::string& name) const;

    // ---- Test controls. Each raises the callbacks disk arbitration would raise. ----
    void start();
    // False when the text is not a disk in scenario form or its BSD name is taken.
    bool addDisk(const SimDiskDefinition& disk);
    bool addDisk(const std::string& diskJson);
    // The disk and everything on it vanish at once, as when a cable is pulled.
    bool removeDisk(const std::string& bsdName);
    bool setDescriptionValue(const std::string& bsdName, const std::string& key, const PlatformValue& value);
    bool removeDescriptionValue(const std::string& bsdName, const std::string& key);
    // A busy volume refuses an unmount or eject without the force option.
    bool setBusy(const std::string& bsdName, bool busy);
    // These ask the approval callbacks on their queues and wait for the answers.
    std::optional<DADissenter> mountVolume(const std::string& bsdName, const std::optional<std::string>& path = {});
    std::optional<DADissenter> unmountVolume(const std::string& bsdName, std::uint32_t options = 0);
    std::optional<DADissenter> ejectDisk(const std::string& bsdName);
    void addRegistryEntry(const SimRegistryEntryDefinition& entry);
    // A rule in scenario form ({"match": ..., "stdout": ...}); tried before the scenario's.
    bool addCommandRule(const std::string& ruleJson);
    bool addScriptRule(const std::string& ruleJson);
    void setAdministratorGranted(bool granted);
    void setExternalAdapter(bool attached);
    void setPath(const std::string& path, SimPathInfo info);
    void setEnvironment(const std::string& name, std::optional<std::string> value);
    void setRefusesSessions(bool refuse);
    // Files live in memory; each change raises a file event.
    SimFileContents& files();
    SimFileEvents& fileEventSource();
    // Where the USB lists file is (default "/private/var/kestrane/usbblocker.cnf") and the
    // folder watched for it.
    void setUSBBlockerPaths(const std::string& listsFile, const std::string& watchedFolder);

    // ---- What happened. ----
    std::optional<DiskDescription> description(const std::string& bsdName);
    std::vector<std::string> diskNames();
    std::vector<SimRequest> requests();
    std::vector<std::string> commandLines();
    std::vector<std::optional<std::string>> commandInputs();
    std::vector<SimScriptRunner::Run> scriptRuns();
    std::vector<std::string> openedURLs();
    std::vector<std::string> openedFolders();

private:
    std::shared_ptr<SimMachine> machine_;
    std::unique_ptr<SimDiskArbitration> diskArbitration_;
    std::unique_ptr<SimDeviceRegistry> registry_;
    std::unique_ptr<SimPowerSource> powerSource_;
    std::unique_ptr<SimSettingsStores> settings_;
    std::unique_ptr<SimUserDatabase> users_;
    std::unique_ptr<SimCommandTable> commands_;
    std::unique_ptr<SimProcessLauncher> processes_;
    std::unique_ptr<SimScriptRunner> scripts_;
    std::unique_ptr<SimWorkspace> workspace_;
    std::unique_ptr<SimFileSystemInfo> fileSystem_;
    std::unique_ptr<SimKeychainFiles> keychainFiles_;
    std::unique_ptr<SimFileStore> fileStore_;
    std::unique_ptr<SimNetworkMounter> networkMounter_;
    std::unique_ptr<SimLoginItems> loginItems_;
    std::unique_ptr<SimFileEvents> fileEvents_;
    std::unique_ptr<SimFileContents> fileContents_;
    std::unique_ptr<SimUSBBlockerPaths> usbBlockerPaths_;
    std::unique_ptr<SimPasteboard> pasteboard_;
    std::unique_ptr<SimPackageManager> packageManager_;
    std::unique_ptr<SimDiskImages> diskImages_;
    std::unique_ptr<SimUpdateInstaller> updateInstaller_;
    std::unique_ptr<SimUserData> userData_;
};

}  // namespace harbormind
