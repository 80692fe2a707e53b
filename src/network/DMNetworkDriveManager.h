#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMDriveManagerProtocol.h"
#include "network/DMNetworkDriveObject.h"
#include "network/DMNetworkDriveType.h"
#include "network/NetworkDriveDisconnection.h"
#include "network/NetworkDriveList.h"
#include "network/NetworkDriveRecord.h"
#include "network/SavedNetworkDrivesFile.h"
#include "platform/NetworkMounter.h"
#include "support/Clock.h"

namespace harbormind {

class Keychains;
class Timer;

// Keeps the user's network drives: makes drive objects, mounts them, follows network volumes
// appearing and disappearing, keeps the saved drives in "nwd.plist" in the home directory
// and their passwords in "networkdrives.keychain". The drive list changes on the main queue
// only; delegate calls come on the main queue; mount completions come on a global queue.
class DMNetworkDriveManager final : public DMDriveManagerProtocol,
                                    public std::enable_shared_from_this<DMNetworkDriveManager> {
public:
    static constexpr const char* savedDrivesFileName = "nwd.plist";
    static std::string staticTypeName() { return "DMNetworkDriveManager"; }

    // Loads the saved drives and reports each to the delegate's driveAdded, in list order.
    static std::shared_ptr<DMNetworkDriveManager> create(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate);
    ~DMNetworkDriveManager() override;

    std::string typeName() const override { return staticTypeName(); }
    std::shared_ptr<DMDriveManagerDelegateProtocol> delegate() const override;
    void setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) override;
    DriveMap driveObjs() const override;
    void setDriveObjs(DriveMap driveObjs) override;
    DriveList rootObjs() const override;
    void setRootObjs(DriveList rootObjs) override;
    std::string filter() const override;
    void setFilter(std::string filter) override;

    // Starts following network volumes; a second call does nothing.
    void start() override;
    // Connects: 0 success, 80 authentication refused, -1 not started, else the mounter's status.
    void mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;
    // Disconnects once every file written to the drive has reached the server: 0 when the
    // volume is gone; NetworkMountStatus::writesPending when they have not within the time
    // allowed, NetworkMountStatus::inUse when files are open on it (the drive stays
    // connected then); -1 without a mount point. Completes on a global queue.
    void unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;
    // As unmount, with the time allowed for written files and a report, on a global queue,
    // each time the number of files still on their way changes.
    using DisconnectOptions = NetworkDriveDisconnection::Options;
    void disconnect(const std::shared_ptr<DMNetworkDriveObject>& drive, DisconnectOptions options,
                    DMCompletion completion);
    // Opens the mount point's folder: 0, or -1 without a mount point or when it cannot be opened.
    void open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;

    std::shared_ptr<DMNetworkDriveObject> makeDriveObject(std::optional<DMNetworkDriveType> type = std::nullopt);
    bool contains(const DMNetworkDriveObject& drive) const;
    void add(std::shared_ptr<DMNetworkDriveObject> drive);
    void remove(const std::shared_ptr<DMNetworkDriveObject>& drive);
    // Saves `drive` without connecting it, in place of `replacing` (the saved drive it was
    // edited from, or null); the delegate hears of the drive added or changed.
    void saveWithoutConnecting(const std::shared_ptr<DMNetworkDriveObject>& drive,
                               const std::shared_ptr<DMNetworkDriveObject>& replacing);
    void cancelMount(const DMNetworkDriveObject& drive);
    // Writes the saved drives, and their passwords, to the saved-drives file.
    void save();

    bool isRunning() const;
    std::string savedDrivesPath() const;
    // The saved-drives file could not be read whole and is kept as it is until the list changes.
    bool savedDrivesFileDamaged() const;
    // Why the last write of the saved drives lost something (a password the keychain refused),
    // or none when it kept everything.
    std::optional<std::string> lastSaveProblem() const;

private:
    DMNetworkDriveManager();
    using Change = SavedNetworkDrivesFile::Change;
    using DriveRef = std::shared_ptr<DMNetworkDriveObject>;

    void load();
    void write(Change change);
    void readPasswords(const std::vector<DriveRef>& drives);
    void storePasswords(const std::vector<DriveRef>& saved);
    DriveRef savedDrive(const NetworkDriveRecord& record);
    // Reads the saved-drives file and, when another program changed it, follows the change on
    // the main queue: drives added there are added here, drives forgotten there are removed
    // (a connected one stays until it disconnects), renamed ones are renamed.
    void checkSavedDrivesFile();
    void followSavedDrivesFile(const SavedNetworkDrivesFile::Reading& reading);
    Keychains* keychain();
    void volumeAppeared(const NetworkVolume& volume);
    void volumeDisappeared(const NetworkVolume& volume);
    std::shared_ptr<DMNetworkDriveObject> driveFromVolume(const NetworkVolume& volume);
    std::vector<std::shared_ptr<DMNetworkDriveObject>> roots() const;

    mutable std::mutex mutex_;
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate_;
    NetworkDriveList drives_;
    DriveMap driveObjs_;
    std::string filter_;
    bool isRunning_ = false;
    std::optional<std::string> saveProblem_;
    NetworkMounter* mounter_ = nullptr;
    std::unique_ptr<NetworkMounter::Watch> watch_;
    std::shared_ptr<Timer> fileTimer_;
    SavedNetworkDrivesFile file_;
    std::unique_ptr<Keychains> keychain_;
    std::mutex keychainMutex_;
};

}  // namespace harbormind
