#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/CommandTable.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "platform/PowerSource.h"
#include "platform/ProcessLauncher.h"
#include "platform/ScriptRunner.h"
#include "platform/SettingsStores.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"

namespace harbormind::test {

// A platform with only what the network layer uses: a home folder, file sizes, the
// workspace, and the keychain files, file store and network mounter the test hands it.
class NetworkTestPlatform final : public Platform, UserDatabase, Workspace, FileSystemInfo, DiskArbitration,
                                  DeviceRegistry, PowerSource, SettingsStores, CommandTable, ScriptRunner,
                                  ProcessLauncher {
public:
    NetworkTestPlatform(std::string home, KeychainFiles* keychains, FileStore* files, NetworkMounter* mounter,
                        ProcessLauncher* processes = nullptr)
        : home_(std::move(home)), keychains_(keychains), files_(files), mounter_(mounter), processes_(processes) {}

    // Controls.
    void setSpace(const std::string& path, FileSystemSpace space) {
        std::lock_guard lock(mutex_);
        spaces_[path] = space;
    }
    std::vector<std::string> openedFolders() {
        std::lock_guard lock(mutex_);
        return opened_;
    }
    // Reads real sizes from the file system through this function when set.
    std::function<FileSystemSpace(const std::string&)> realSpace;

    // Platform
    std::string name() const override { return "network-test"; }
    DiskArbitration& diskArbitration() override { return *this; }
    DeviceRegistry& registry() override { return *this; }
    PowerSource& powerSource() override { return *this; }
    SettingsStores& settings() override { return *this; }
    UserDatabase& users() override { return *this; }
    CommandTable& commands() override { return *this; }
    ProcessLauncher& processes() override { return processes_ ? *processes_ : *this; }
    ScriptRunner& scripts() override { return *this; }
    Workspace& workspace() override { return *this; }
    FileSystemInfo& fileSystem() override { return *this; }
    KeychainFiles* keychainFiles() override { return keychains_; }
    FileStore* fileStore() override { return files_; }
    NetworkMounter* networkMounter() override { return mounter_; }

private:
    // UserDatabase
    std::optional<std::string> currentUserHome() override { return home_; }
    std::optional<std::string> currentUserName() override { return "tester"; }
    std::string processHome() override { return home_; }
    std::optional<std::string> environment(const std::string&) override { return std::nullopt; }
    // Workspace
    bool openFolder(const std::string& path) override {
        std::lock_guard lock(mutex_);
        opened_.push_back(path);
        return true;
    }
    bool openURL(const std::string&) override { return false; }
    std::string fullDiskAccessSettingsURL() override { return {}; }
    std::string securitySettingsURL() override { return {}; }
    // FileSystemInfo
    FileSystemSpace space(const std::string& mountPoint) override {
        if (realSpace) {
            return realSpace(mountPoint);
        }
        std::lock_guard lock(mutex_);
        auto it = spaces_.find(mountPoint);
        return it == spaces_.end() ? FileSystemSpace{} : it->second;
    }
    bool exists(const std::string&) override { return false; }
    bool isReadable(const std::string&) override { return false; }
    bool isWritable(const std::string&) override { return false; }
    bool canListFolder(const std::string&) override { return false; }
    // DiskArbitration
    std::shared_ptr<DiskArbitrationSession> createSession() override { return nullptr; }
    // DeviceRegistry
    std::optional<RegistryEntryId> entryFromPath(const std::string&) override { return std::nullopt; }
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId) override { return std::nullopt; }
    std::vector<RegistryEntryId> childEntries(RegistryEntryId) override { return {}; }
    std::optional<PlatformValue> property(RegistryEntryId, const std::string&) override { return std::nullopt; }
    // PowerSource
    bool hasExternalAdapter() override { return true; }
    // SettingsStores
    std::shared_ptr<SettingsStore> standard() override { return nullptr; }
    std::shared_ptr<SettingsStore> suite(const std::string&) override { return nullptr; }
    // CommandTable
    std::string ejectDisk(const std::string&) override { return {}; }
    std::string lockVolume(const std::string&) override { return {}; }
    std::string unlockVolume(const std::string&, const std::string&) override { return {}; }
    std::string listCoreStorage() override { return {}; }
    // ScriptRunner
    std::pair<bool, std::optional<std::string>> run(const std::string&, ScriptPrivilege) override {
        return {false, std::nullopt};
    }
    // ProcessLauncher
    ProcessResult run(const std::string&, const std::vector<std::string>&, const std::optional<std::string>&) override {
        return {};
    }

    std::string home_;
    KeychainFiles* keychains_;
    FileStore* files_;
    NetworkMounter* mounter_;
    ProcessLauncher* processes_;
    std::mutex mutex_;
    std::map<std::string, FileSystemSpace> spaces_;
    std::vector<std::string> opened_;
};

}  // namespace harbormind::test
