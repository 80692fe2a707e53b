#include "platform/sim/SimPlatform.h"

#include <fstream>
#include <sstream>

#include "platform/sim/SimCommandTable.h"
#include "platform/sim/SimDeviceRegistry.h"
#include "platform/sim/SimDiskArbitration.h"
#include "platform/sim/SimFileContents.h"
#include "platform/sim/SimFileEvents.h"
#include "platform/sim/SimFileSystemInfo.h"
#include "platform/sim/SimFileStore.h"
#include "platform/sim/SimKeychainFiles.h"
#include "platform/sim/SimNetworkMounter.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimDiskImages.h"
#include "platform/sim/SimPackageManager.h"
#include "platform/sim/SimUpdateInstaller.h"
#include "platform/sim/SimPasteboard.h"
#include "platform/sim/SimUserData.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPowerSource.h"
#include "platform/sim/SimProcessLauncher.h"
#include "platform/sim/SimScenarioParser.h"
#include "platform/sim/SimSettingsStores.h"
#include "platform/sim/SimUSBBlockerPaths.h"
#include "platform/sim/SimUserDatabase.h"
#include "platform/sim/SimWorkspace.h"

namespace harbormind {

SimLoadResult SimPlatform::load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {nullptr, "cannot read the scenario file " + path};
    }
    std::ostringstream text;
    text << file.rdbuf();
    SimLoadResult result = fromJson(text.str());
    if (!result) {
        result.error = path + ": " + result.error;
    }
    return result;
}

SimLoadResult SimPlatform::fromJson(const std::string& text) {
    std::string error;
    auto scenario = SimScenarioParser::parse(text, error);
    if (!scenario) {
        return {nullptr, error};
    }
    return {std::make_shared<SimPlatform>(std::move(*scenario)), ""};
}

std::shared_ptr<SimPlatform> SimPlatform::empty() {
    return std::make_shared<SimPlatform>(SimScenario{});
}

SimPlatform::SimPlatform(SimScenario scenario) : machine_(std::make_shared<SimMachine>(std::move(scenario))) {
    const SimScenario& s = machine_->scenario();
    diskArbitration_ = std::make_unique<SimDiskArbitration>(machine_);
    registry_ = std::make_unique<SimDeviceRegistry>(machine_);
    powerSource_ = std::make_unique<SimPowerSource>(*machine_);
    settings_ = std::make_unique<SimSettingsStores>(s.standardSettings, s.settingsSuites);
    users_ = std::make_unique<SimUserDatabase>(s.userName, s.userHome, s.processHome, s.environment);
    commands_ = std::make_unique<SimCommandTable>();
    processes_ = std::make_unique<SimProcessLauncher>(s.commands, *machine_);
    scripts_ = std::make_unique<SimScriptRunner>(s.scripts, s.administratorGranted, *machine_);
    workspace_ = std::make_unique<SimWorkspace>(s.workspaceOpens, s.workspaceRefuses, s.fullDiskAccessSettingsURL,
                                                s.securitySettingsURL);
    fileSystem_ = std::make_unique<SimFileSystemInfo>(s.paths, *machine_);
    keychainFiles_ = std::make_unique<SimKeychainFiles>();
    fileStore_ = std::make_unique<SimFileStore>();
    networkMounter_ = std::make_unique<SimNetworkMounter>();
    loginItems_ = std::make_unique<SimLoginItems>();
    pasteboard_ = std::make_unique<SimPasteboard>();
    packageManager_ = std::make_unique<SimPackageManager>();
    diskImages_ = std::make_unique<SimDiskImages>();
    updateInstaller_ = std::make_unique<SimUpdateInstaller>();
    userData_ = std::make_unique<SimUserData>();
    fileEvents_ = std::make_unique<SimFileEvents>();
    fileContents_ = std::make_unique<SimFileContents>(fileEvents_.get());
    usbBlockerPaths_ = std::make_unique<SimUSBBlockerPaths>();
}

SimPlatform::~SimPlatform() = default;

std::string SimPlatform::name() const {
    return "sim";
}

DiskArbitration& SimPlatform::diskArbitration() { return *diskArbitration_; }
DeviceRegistry& SimPlatform::registry() { return *registry_; }
PowerSource& SimPlatform::powerSource() { return *powerSource_; }
SettingsStores& SimPlatform::settings() { return *settings_; }
UserDatabase& SimPlatform::users() { return *users_; }
CommandTable& SimPlatform::commands() { return *commands_; }
ProcessLauncher& SimPlatform::processes() { return *processes_; }
ScriptRunner& SimPlatform::scripts() { return *scripts_; }
Workspace& SimPlatform::workspace() { return *workspace_; }
FileContents* SimPlatform::fileContents() { return fileContents_.get(); }
FileEvents* SimPlatform::fileEvents() { return fileEvents_.get(); }
USBBlockerPaths* SimPlatform::usbBlockerPaths() { return usbBlockerPaths_.get(); }
SimFileContents& SimPlatform::files() { return *fileContents_; }
SimFileEvents& SimPlatform::fileEventSource() { return *fileEvents_; }

void SimPlatform::setUSBBlockerPaths(const std::string& listsFile, const std::string& watchedFolder) {
    usbBlockerPaths_ = std::make_unique<SimUSBBlockerPaths>(listsFile, watchedFolder);
}
FileSystemInfo& SimPlatform::fileSystem() { return *fileSystem_; }
KeychainFiles* SimPlatform::keychainFiles() { return keychainFiles_.get(); }
FileStore* SimPlatform::fileStore() { return fileStore_.get(); }
NetworkMounter* SimPlatform::networkMounter() { return networkMounter_.get(); }
LoginItems* SimPlatform::loginItems() { return loginItems_.get(); }
Pasteboard* SimPlatform::pasteboard() { return pasteboard_.get(); }
PackageManager* SimPlatform::packageManager() { return packageManager_.get(); }
DiskImages* SimPlatform::diskImages() { return diskImages_.get(); }
UpdateInstaller* SimPlatform::updateInstaller() { return updateInstaller_.get(); }
UserData* SimPlatform::userData() { return userData_.get(); }

PlatformValue::Dictionary SimPlatform::daemonAnswers() const {
    return machine_->scenario().daemon;
}

std::optional<PlatformValue> SimPlatform::section(const std::string& name) const {
    const auto& sections = machine_->scenario().otherSections;
    auto it = sections.find(name);
    return it == sections.end() ? std::nullopt : std::optional(it->second);
}

void SimPlatform::start() { machine_->start(); }

bool SimPlatform::addDisk(const SimDiskDefinition& disk) { return machine_->addDisk(disk); }

bool SimPlatform::addDisk(const std::string& diskJson) {
    std::string error;
    auto disk = SimScenarioParser::parseDisk(diskJson, error);
    return disk && machine_->addDisk(*disk);
}

bool SimPlatform::removeDisk(const std::string& bsdName) { return machine_->removeDisk(bsdName); }

bool SimPlatform::setDescriptionValue(const std::string& bsdName, const std::string& key, const PlatformValue& value) {
    return machine_->setDescriptionValue(bsdName, key, value);
}

bool SimPlatform::removeDescriptionValue(const std::string& bsdName, const std::string& key) {
    return machine_->removeDescriptionValue(bsdName, key);
}

bool SimPlatform::setBusy(const std::string& bsdName, bool busy) { return machine_->setBusy(bsdName, busy); }

std::optional<DADissenter> SimPlatform::mountVolume(const std::string& bsdName, const std::optional<std::string>& path) {
    return machine_->mount(bsdName, path, 0, SimRequest::Origin::Control);
}

std::optional<DADissenter> SimPlatform::unmountVolume(const std::string& bsdName, std::uint32_t options) {
    return machine_->unmount(bsdName, options, SimRequest::Origin::Control);
}

std::optional<DADissenter> SimPlatform::ejectDisk(const std::string& bsdName) {
    return machine_->eject(bsdName, 0, SimRequest::Origin::Control);
}

void SimPlatform::addRegistryEntry(const SimRegistryEntryDefinition& entry) { machine_->addRegistryEntry(entry); }

bool SimPlatform::addCommandRule(const std::string& ruleJson) {
    std::string error;
    auto rule = SimScenarioParser::parseRule(ruleJson, error);
    if (rule) {
        processes_->addRule(std::move(*rule));
    }
    return rule.has_value();
}

bool SimPlatform::addScriptRule(const std::string& ruleJson) {
    std::string error;
    auto rule = SimScenarioParser::parseRule(ruleJson, error);
    if (rule) {
        scripts_->addRule(std::move(*rule));
    }
    return rule.has_value();
}

void SimPlatform::setAdministratorGranted(bool granted) { scripts_->setAdministratorGranted(granted); }
void SimPlatform::setExternalAdapter(bool attached) { machine_->setExternalAdapter(attached); }
void SimPlatform::setPath(const std::string& path, SimPathInfo info) { fileSystem_->setPath(path, info); }
void SimPlatform::setEnvironment(const std::string& name, std::optional<std::string> value) {
    users_->setEnvironment(name, std::move(value));
}
void SimPlatform::setRefusesSessions(bool refuse) { machine_->setRefusesSessions(refuse); }

std::optional<DiskDescription> SimPlatform::description(const std::string& bsdName) {
    return machine_->description(bsdName, false);
}

std::vector<std::string> SimPlatform::diskNames() { return machine_->diskNames(); }
std::vector<SimRequest> SimPlatform::requests() { return machine_->requests(); }
std::vector<std::string> SimPlatform::commandLines() { return processes_->lines(); }
std::vector<std::optional<std::string>> SimPlatform::commandInputs() { return processes_->inputs(); }
std::vector<SimScriptRunner::Run> SimPlatform::scriptRuns() { return scripts_->runs(); }
std::vector<std::string> SimPlatform::openedURLs() { return workspace_->openedURLs(); }
std::vector<std::string> SimPlatform::openedFolders() { return workspace_->openedFolders(); }

}  // namespace harbormind
