#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "drivemodel/DMBackgroundWork.h"
#include "drivemodel/DMDriveManagerDelegateProtocol.h"
#include "drivemodel/DMDriveManagerProtocol.h"
#include "drivemodel/DMEncryptorRefusal.h"
#include "drivemodel/DMLocalDriveEncryptable.h"
#include "drivemodel/DMLocalDriveServices.h"
#include "drivemodel/DMUnmountOption.h"
#include "platform/DADisk.h"
#include "platform/DADissenter.h"
#include "platform/DiskArbitrationSession.h"
#include "support/SerialQueue.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

class DMBitLockerWrapper;
class DMCoreStorageWrapper;
class DMDeviceCloneWrapper;
class DMLocalDriveObject;
class DMLuksWrapper;
class DMNtfsWrapper;

// Follows disk arbitration and keeps the tree of local drives: an object for every disk
// that appears (linked under its registry parent), removed when it disappears, updated when
// its description changes. Disk-arbitration callbacks run one at a time on the manager's
// own serial queue, so the maps and links are only ever written there; the delegate gets
// driveAdded/driveRemoved on that queue and driveMounted/driveUnmounted/driveChanged on
// the main queue. Readers on any thread get copies taken under the manager's lock.
// The drive operations (mount, unlock, ...) run on the caller's thread and block it.
class DMLocalDriveManager : public DMDriveManagerProtocol,
                            public DMLocalDriveServices,
                            public std::enable_shared_from_this<DMLocalDriveManager> {
public:
    // A disk whose size is at most this many bytes (below 100 MiB) is never shown.
    static constexpr std::int64_t largestIgnoredSize = 104857599;
    // Checks, one second apart, for a volume to mount or unmount after its approval.
    static constexpr int mountWaitChecks = 120;
    // The completion code of an unmount or eject refused because the volume is in use; the
    // message then says what uses it.
    static constexpr int busyCode = 16;
    // How long a mount, unmount or eject may take (an administrator authenticating, a slow
    // disk's cache being flushed) before the caller is answered that it failed for want of an answer.
    static constexpr double diskRequestLimitSeconds = 600;

    static std::shared_ptr<DMLocalDriveManager> create(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate = {});
    explicit DMLocalDriveManager(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate);
    ~DMLocalDriveManager() override;
    DMLocalDriveManager(const DMLocalDriveManager&) = delete;
    DMLocalDriveManager& operator=(const DMLocalDriveManager&) = delete;

    static std::string staticTypeName() { return "DMLocalDriveManager"; }
    std::string typeName() const override { return staticTypeName(); }

    // DMDriveManagerProtocol
    std::shared_ptr<DMDriveManagerDelegateProtocol> delegate() const override;
    void setDelegate(std::weak_ptr<DMDriveManagerDelegateProtocol> delegate) override;
    DriveMap driveObjs() const override;
    void setDriveObjs(DriveMap driveObjs) override;
    DriveList rootObjs() const override;
    void setRootObjs(DriveList rootObjs) override;
    std::string filter() const override;
    void setFilter(std::string filter) override;
    void start() override;
    void mount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;
    void unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;
    void open(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion) override;

    bool isRunning() const;
    // Who classifies a drive that appears: the manager in the background (the default), or
    // the caller, once the tree is complete (a program that prints the tree and ends), so that
    // no drive is classified twice.
    enum class Classification { InBackground, ByCaller };
    void setClassification(Classification classification);
    // Ends discovery for good: no more callbacks, background classification and mount
    // waits end, and the call returns once none of them runs any more (at most
    // `stopLimitSeconds`). A program calls it before it tears the platform down.
    void stop();
    static constexpr double stopLimitSeconds = 30;
    std::shared_ptr<DiskArbitrationSession> daSession() const { return daSession_; }
    // The queue the disk-arbitration callbacks run on.
    std::shared_ptr<SerialQueue> callbackQueue() const { return queue_; }
    std::shared_ptr<DMBitLockerWrapper> bitlockerWrapper() const override { return bitlockerWrapper_; }
    std::shared_ptr<DMNtfsWrapper> ntfsWrapper() const { return ntfsWrapper_; }
    std::shared_ptr<DMCoreStorageWrapper> corestorageWrapper() const override { return corestorageWrapper_; }
    std::shared_ptr<DMDeviceCloneWrapper> devicCloenWrapper() const override { return devicCloenWrapper_; }
    std::shared_ptr<DMLuksWrapper> luksWrapper() const override { return luksWrapper_; }

    // The object of the nearest registry ancestor that has a device name, made as a
    // placeholder (classified when its own disk appears) when it is not known yet.
    std::shared_ptr<DMLocalDriveObject> parentObject(const std::shared_ptr<DMLocalDriveObject>& object);

    // Drive operations. Completion codes are 0 for success and -1 for failure unless noted.
    // Mount, unmount and eject wait for the result; on failure the message says why, and for
    // an unmount or eject the code is `busyCode` when something still uses a volume.
    void unmount(std::shared_ptr<DMDriveObjectProtocol> drive, DMUnmountOption option, DMCompletion completion);
    void eject(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion);
    void lock(std::shared_ptr<DMDriveObjectProtocol> drive, DMCompletion completion);
    // The code is the daemon's for a BitLocker volume.
    void unlock(std::shared_ptr<DMDriveObjectProtocol> drive, const std::string& password, bool readOnly,
                DMCompletion completion);
    std::int64_t mountAsNTFS(std::shared_ptr<DMDriveObjectProtocol> drive);
    // As mountAsNTFS, with the daemon's words: where the volume went, or why it did not.
    XPCCodeAnswer mountAsNTFSWithReason(std::shared_ptr<DMDriveObjectProtocol> drive);
    bool areKernelExtensionsAllowed();
    // Checks, one second apart, for a volume to unmount before a BitLocker encryption.
    static constexpr int unmountChecks = 60;
    // The encryption job for a drive, or none (then `refusal`, when given, says why). A drive
    // that BitLocker encrypts, or one whose encryption was interrupted, is unmounted first.
    // A drive that cannot be encrypted is refused before anything is unmounted, and one
    // unmounted for a job that then could not be made is mounted again.
    std::shared_ptr<DMLocalDriveEncryptable> encryptor(const std::shared_ptr<DMDriveObjectProtocol>& drive,
                                                       DMEncryptorRefusal* refusal = nullptr);
    // Why no job could be made for the drive (`none` when one could), asked without
    // unmounting or changing anything.
    DMEncryptorRefusal encryptionRefusal(const std::shared_ptr<DMDriveObjectProtocol>& drive);
    void setIgnoreHibernateFile(bool flag);
    void setNtfsDebugLogging(bool flag);
    bool hasHibernationFile(std::shared_ptr<DMDriveObjectProtocol> drive);
    // 1 readable and writable, 0 readable only, 2 neither or not mounted.
    int accessMode(std::shared_ptr<DMDriveObjectProtocol> drive);
    bool hasFullDiskAccess();
    void openFullDiskAccessSettings();
    void openSecuritySettings();
    void openURL(const std::string& url);

private:
    // Jobs for file systems that the volume tool and BitLocker do not cover, asked first.
    std::shared_ptr<DMLocalDriveEncryptable> encryptorForOtherFileSystem(
        const std::shared_ptr<DMLocalDriveObject>& object, DMEncryptorRefusal& refusal);
    DMEncryptorRefusal refusalOf(const std::shared_ptr<DMLocalDriveObject>& object);
    bool unmountForEncryption(const std::shared_ptr<DMLocalDriveObject>& object);
    void remountAfterRefusal(const std::shared_ptr<DMLocalDriveObject>& object, bool wasMounted);
    void diskAppeared(const DADisk& disk);
    void diskDisappeared(const DADisk& disk);
    void descriptionChanged(const DADisk& disk);
    void waitForMountState(const DADisk& disk, bool mounted);
    std::optional<std::string> bsdNameOf(const DADisk& disk) const;
    std::shared_ptr<DMLocalDriveObject> objectOrTransient(const std::string& bsdName);
    void link(const std::shared_ptr<DMLocalDriveObject>& child, const std::shared_ptr<DMLocalDriveObject>& parent);
    std::optional<DADissenter> unmountOne(const std::shared_ptr<DMLocalDriveObject>& object, DMUnmountOption option);
    // Issues a disk request and waits for its completion, at most `diskRequestLimitSeconds`;
    // no answer by then is a failure naming `what` ("the unmount of sdb1").
    std::optional<DADissenter> awaitDiskRequest(
        const std::string& what,
        const std::function<void(DiskArbitrationSession::CompletionCallback)>& request) const;

    std::shared_ptr<SerialQueue> queue_;
    DMBackgroundWork background_;
    Classification classification_ = Classification::InBackground;
    std::shared_ptr<DiskArbitrationSession> daSession_;
    std::shared_ptr<DMBitLockerWrapper> bitlockerWrapper_;
    std::shared_ptr<DMNtfsWrapper> ntfsWrapper_;
    std::shared_ptr<DMCoreStorageWrapper> corestorageWrapper_;
    std::shared_ptr<DMDeviceCloneWrapper> devicCloenWrapper_;
    std::shared_ptr<DMLuksWrapper> luksWrapper_;

    mutable std::mutex mutex_;
    std::weak_ptr<DMDriveManagerDelegateProtocol> delegate_;
    bool isRunning_ = false;
    DriveList rootObjs_;
    DriveMap driveObjs_;
    std::string filter_;
};

}  // namespace harbormind
