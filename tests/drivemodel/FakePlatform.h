#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/CommandTable.h"
#include "platform/DeviceRegistry.h"
#include "platform/DiskArbitration.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/FileSystemInfo.h"
#include "platform/Platform.h"
#include "platform/PowerSource.h"
#include "platform/ProcessLauncher.h"
#include "platform/ScriptRunner.h"
#include "platform/SettingsStores.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"

namespace harbormind::test {

// A small scripted machine for the drive model's tests: disks with descriptions, a device
// registry, command lines recorded and answered by prefix, and files with their rights.
class FakePlatform final : public Platform, public DiskArbitration, public DeviceRegistry, public CommandTable,
                           public ProcessLauncher, public FileSystemInfo, public Workspace, public UserDatabase,
                           public PowerSource, public ScriptRunner, public SettingsStores {
public:
    struct Session;

    // ---- scripting ----
    // Adds a registry entry; returns its id.
    RegistryEntryId addEntry(std::optional<RegistryEntryId> parent, PlatformValue::Dictionary properties);
    void setProperty(RegistryEntryId entry, const std::string& key, PlatformValue value);
    // Adds a disk (not yet announced) with its media entry under `parentEntry`.
    RegistryEntryId addDisk(const std::string& bsdName, PlatformValue::Dictionary description,
                            std::optional<RegistryEntryId> parentEntry);
    void setDescription(const std::string& bsdName, const std::string& key, PlatformValue value);
    void removeDescription(const std::string& bsdName, const std::string& key);
    // Announces a disk to every session; removes a disk and announces that.
    void appear(const std::string& bsdName);
    void disappear(const std::string& bsdName);
    void requestMount(const std::string& bsdName);
    void requestUnmount(const std::string& bsdName);
    void changeDescription(const std::string& bsdName);
    // A command whose line starts with `prefix` prints these texts.
    void answerCommand(const std::string& prefix, std::string standardOutput, std::string standardError = {});
    // Runs command lines through the real shell instead of answering them.
    bool runCommandsForReal = false;
    std::vector<std::string> commandLines() const;
    std::vector<std::pair<std::string, std::uint32_t>> diskRequests() const;
    std::vector<std::string> openedFolders() const;
    std::vector<std::string> openedURLs() const;

    bool refuseSessions = false;
    // "linux" stands for a platform that reads volume signatures itself.
    std::string platformName = "fake";
    // Programs started directly (not through the shell): what they were given, and what
    // every one of them answers.
    struct ProgramRun {
        std::string program;
        std::vector<std::string> arguments;
        std::optional<std::string> input;
    };
    std::vector<ProgramRun> programRuns() const;
    ProcessResult programAnswer{true, 0, {}, {}};
    // Mount, unmount and eject requests for these devices are refused with the dissenter; every
    // other request succeeds. Answers arrive on the session's queue, as the platform's do.
    std::map<std::string, DADissenter> diskRequestRefusals;
    // A successful unmount request takes the volume's mount point away, as the platform's does.
    std::atomic<bool> unmountsTakeEffect{false};
    // Keeps the answers of disk requests back until released (late), or for good.
    std::atomic<bool> holdDiskAnswers{false};
    void releaseDiskAnswers();
    std::map<std::string, FileSystemSpace> spaces;
    std::set<std::string> existing;
    std::set<std::string> readable;
    std::set<std::string> writable;
    std::set<std::string> listable;
    std::map<std::string, std::string> environmentValues;
    std::string home = "/home/user";

    // ---- Platform ----
    std::string name() const override { return platformName; }
    DiskArbitration& diskArbitration() override { return *this; }
    DeviceRegistry& registry() override { return *this; }
    PowerSource& powerSource() override { return *this; }
    SettingsStores& settings() override { return *this; }
    UserDatabase& users() override { return *this; }
    CommandTable& commands() override { return *this; }
    ProcessLauncher& processes() override { return *this; }
    ScriptRunner& scripts() override { return *this; }
    Workspace& workspace() override { return *this; }
    FileSystemInfo& fileSystem() override { return *this; }

    std::shared_ptr<DiskArbitrationSession> createSession() override;

    std::optional<RegistryEntryId> entryFromPath(const std::string&) override { return std::nullopt; }
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry) override;
    std::vector<RegistryEntryId> childEntries(RegistryEntryId entry) override;
    std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key) override;

    std::string ejectDisk(const std::string& bsdName) override;
    std::string lockVolume(const std::string& bsdName) override;
    std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string encryptAPFSVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string convertToCoreStorage(const std::string& bsdName, const std::string& passphrase) override;
    std::string listAPFSContainer(const std::string& wholeDisk) override;
    std::string listCoreStorage() override;
    std::string unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) override;
    std::optional<ProgramCall> unlockLUKSVolume(const std::string& bsdName) override {
        return ProgramCall{"/usr/libexec/luks-tool", {"unlock", bsdName}};
    }
    std::optional<ProgramCall> lockLUKSVolume(const std::string& bsdName) override {
        return ProgramCall{"/usr/libexec/luks-tool", {"lock", bsdName}};
    }

    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& input) override;

    FileSystemSpace space(const std::string& mountPoint) override;
    bool exists(const std::string& path) override;
    bool isReadable(const std::string& path) override;
    bool isWritable(const std::string& path) override;
    bool canListFolder(const std::string& path) override;

    bool openFolder(const std::string& path) override;
    std::optional<std::string> openingUnavailableReason() override { return openingUnavailable; }
    // Set: nothing opens, for this reason.
    std::optional<std::string> openingUnavailable;
    bool openURL(const std::string& url) override;
    std::string fullDiskAccessSettingsURL() override { return "settings://privacy/full-disk-access"; }
    std::string securitySettingsURL() override { return "settings://security"; }

    std::optional<std::string> currentUserHome() override { return home; }
    std::optional<std::string> currentUserName() override { return "user"; }
    std::string processHome() override { return home; }
    std::optional<std::string> environment(const std::string& variable) override;

    bool hasExternalAdapter() override { return externalAdapter; }
    std::atomic<bool> externalAdapter{true};
    std::pair<bool, std::optional<std::string>> run(const std::string&, ScriptPrivilege) override { return {false, {}}; }
    std::shared_ptr<SettingsStore> standard() override { return nullptr; }
    std::shared_ptr<SettingsStore> suite(const std::string&) override { return nullptr; }

    // Used by the sessions.
    std::optional<DiskDescription> describe(const std::string& bsdName);
    std::optional<RegistryEntryId> mediaOf(const std::string& bsdName);
    bool hasDisk(const std::string& bsdName);
    void recordDiskRequest(const std::string& bsdName, std::uint32_t options);
    std::optional<DADissenter> refusalFor(const std::string& bsdName) const;
    void holdDiskAnswer(std::function<void()> deliver);

private:
    struct Entry {
        std::optional<RegistryEntryId> parent;
        std::vector<RegistryEntryId> children;
        PlatformValue::Dictionary properties;
    };
    struct Disk {
        PlatformValue::Dictionary description;
        RegistryEntryId media = 0;
    };
    void forEachSession(const std::function<void(Session&)>& action);

    mutable std::mutex mutex_;
    std::map<RegistryEntryId, Entry> entries_;
    RegistryEntryId nextEntry_ = 1;
    std::map<std::string, Disk> disks_;
    // Disks announced so far; a session registering later hears of them.
    std::set<std::string> announced_;
    std::vector<std::weak_ptr<Session>> sessions_;
    std::vector<std::pair<std::string, std::pair<std::string, std::string>>> answers_;
    std::vector<std::string> commandLines_;
    std::vector<std::pair<std::string, std::uint32_t>> diskRequests_;
    std::vector<std::function<void()>> heldDiskAnswers_;
    std::vector<ProgramRun> programRuns_;
    std::vector<std::string> openedFolders_;
    std::vector<std::string> openedURLs_;
};

}  // namespace harbormind::test
