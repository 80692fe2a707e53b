#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/drives/DMCloneDrive.h"
#include "app/drives/DMOperationResult.h"
#include "drivemodel/DMDriveObjectFilesystem.h"
#include "drivemodel/DMEncryptorRefusal.h"
#include "drivemodel/DMUnmountOption.h"

namespace harbormind {

class DMDriveObjectProtocol;
class DMLocalDriveEncryptable;

// The drive work behind the dispatcher's actions. Every call may block (commands, the
// helper daemon), so the dispatcher makes them on a background queue. Codes: 0 success,
// -1 failure.
class DMDriveOperations {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    virtual ~DMDriveOperations() = default;

    // True when the drive belongs to a local drive manager that can act on it.
    virtual bool isLocalDrive(const Drive& drive) = 0;
    // The file system after re-reading the drive.
    virtual DMDriveObjectFilesystem fileSystem(const Drive& drive) = 0;
    virtual std::string name(const Drive& drive) = 0;
    // The file system inside an unlocked BitLocker volume; unknown for any other drive.
    virtual DMDriveObjectFilesystem bitLockerFileSystem(const Drive& /*drive*/) { return DMDriveObjectFilesystem::unknown; }

    virtual int open(const Drive& drive) = 0;
    // Opens and keeps why nothing was shown, with the mount point to open by other means.
    virtual DMOperationResult openWithReason(const Drive& drive) { return {open(drive), {}}; }
    virtual int mount(const Drive& drive) = 0;
    // Read-write through the helper daemon's NTFS service: 0 mounted, -1 failed, or another
    // of its codes (NtfsMountResult).
    virtual int mountAsNTFS(const Drive& drive) { return mount(drive); }
    // As mountAsNTFS, with the daemon's words: where the volume went, or why it did not.
    virtual DMOperationResult mountAsNTFSWithReason(const Drive& drive) { return {mountAsNTFS(drive), {}}; }
    // Mounts and keeps the reason the system gave for a failure ("Structure needs cleaning").
    virtual DMOperationResult mountWithReason(const Drive& drive) { return {mount(drive), {}}; }
    // Both wait for the platform's answer; a busy volume answers the local manager's busy
    // code with what uses it.
    virtual DMOperationResult unmount(const Drive& drive, DMUnmountOption option) = 0;
    virtual DMOperationResult eject(const Drive& drive) = 0;
    virtual int lock(const Drive& drive) = 0;
    // The daemon's or the volume tool's result: 0 unlocked.
    virtual int unlock(const Drive& /*drive*/, const std::string& /*password*/) { return -1; }
    // Unlocks and keeps what the daemon said went wrong; no message for a wrong password.
    virtual DMOperationResult unlockWithReason(const Drive& drive, const std::string& password) {
        return {unlock(drive, password), {}};
    }
    // The password kept in the local drives' keychain for this drive; none when none.
    virtual std::optional<std::string> rememberedPassword(const Drive& /*drive*/) { return std::nullopt; }
    // Keeps the password for the drive, or forgets it (none).
    virtual void rememberPassword(const Drive& /*drive*/, const std::optional<std::string>& /*password*/) {}
    virtual bool isUSBBlockerOn() { return false; }
    // The encryption job for the drive, made by its local manager (which may unmount it and
    // wait); none with the reason when there is none.
    virtual std::shared_ptr<DMLocalDriveEncryptable> encryptor(const Drive& /*drive*/, DMEncryptorRefusal* refusal) {
        if (refusal) {
            *refusal = DMEncryptorRefusal::unsupportedFileSystem;
        }
        return nullptr;
    }
    // Why no job could be made for the drive, asked without unmounting it; none when one can.
    virtual DMEncryptorRefusal encryptionRefusal(const Drive& /*drive*/) { return DMEncryptorRefusal::none; }
    // The detached header the daemon keeps for an encrypted volume; empty when none.
    virtual std::string detachedHeader(const Drive& /*drive*/) { return {}; }
    // An external power adapter is attached (APFS encryption pauses on battery).
    virtual bool hasExternalPowerAdapter() { return true; }
    // 0 read-only, 1 read-write, 2 no access.
    virtual int accessMode(const Drive& drive) = 0;
    virtual bool hasHibernationFile(const Drive& drive) = 0;
    virtual void setIgnoreHibernateFile(bool ignore) = 0;
    // The local manager's root drives whose location is external.
    virtual std::vector<Drive> externalRootDrives() = 0;
    // Every local drive object (not only roots) that can be locked now.
    virtual std::vector<Drive> lockableDrives() { return {}; }

    // The NTFS and BitLocker driver is installed.
    virtual bool isDriverInstalled() = 0;
    // Whether this system can install the driver at all.
    virtual bool canInstallDriver() = 0;
    virtual void installDriver() = 0;
    // The setting that allows ignoring a Windows hibernation file when mounting NTFS.
    virtual bool ignoreHibernationFileWhenMountingNtfsDrives() = 0;
    virtual void openURL(const std::string& url) = 0;
    // The mount point to scan for drive clear, only when the drive may be cleared: mounted
    // now, and neither a volume of the running system nor the one holding the home folder.
    virtual std::optional<std::string> driveClearPath(const Drive& /*drive*/) { return std::nullopt; }

    // Network drives. The list changes on the main queue only, so these are called there;
    // connecting reports its code (0 success) later, on any thread.
    virtual bool isNetworkDrive(const Drive& /*drive*/) { return false; }
    virtual void connect(const Drive& /*drive*/, std::function<void(int code)> done) { done(-1); }
    // As connect, with what the connecting program said about a failure.
    virtual void connectWithReason(const Drive& drive, std::function<void(DMOperationResult)> done) {
        connect(drive, [done = std::move(done)](int code) { done({code, {}}); });
    }
    // Reports 0 once the drive is disconnected, else the network status that kept it connected.
    virtual void disconnect(const Drive& /*drive*/, std::function<void(int code)> done) { done(-1); }
    virtual void openNetworkDrive(const Drive& /*drive*/) {}
    virtual void removeNetworkDrive(const Drive& /*drive*/) {}
    virtual std::vector<Drive> networkDrives() { return {}; }
    virtual bool automaticallyOpenDrivesAfterConnecting() { return false; }
    virtual bool automaticallyOpenDrivesAfterUnlocking() { return false; }

    // Device clone. The known local drive with this identifier (device name), if any.
    virtual Drive localDriveWithIdentifier(const std::string& /*identifier*/) { return nullptr; }
    // The drive, or a volume on it, is mounted.
    virtual bool isMounted(const Drive& /*drive*/) { return false; }
    // The drive's identifier, name, icon and size, as the clone windows show them.
    virtual DMCloneDrive cloneDrive(const Drive& drive);
};

}  // namespace harbormind
