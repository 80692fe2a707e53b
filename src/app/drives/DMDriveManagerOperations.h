#pragma once

#include "app/drives/DMDriveOperations.h"

namespace harbormind {

class DMConfigurationManager;

// The dispatcher's drive work carried out by the drive managers registered with the
// facade; each operation uses the manager that owns the drive.
class DMDriveManagerOperations final : public DMDriveOperations {
public:
    explicit DMDriveManagerOperations(DMConfigurationManager* configuration);

    bool isLocalDrive(const Drive& drive) override;
    DMDriveObjectFilesystem fileSystem(const Drive& drive) override;
    std::string name(const Drive& drive) override;
    DMDriveObjectFilesystem bitLockerFileSystem(const Drive& drive) override;
    int open(const Drive& drive) override;
    int mount(const Drive& drive) override;
    int mountAsNTFS(const Drive& drive) override;
    DMOperationResult mountAsNTFSWithReason(const Drive& drive) override;
    DMOperationResult mountWithReason(const Drive& drive) override;
    DMOperationResult openWithReason(const Drive& drive) override;
    DMOperationResult unmount(const Drive& drive, DMUnmountOption option) override;
    DMOperationResult eject(const Drive& drive) override;
    int lock(const Drive& drive) override;
    int unlock(const Drive& drive, const std::string& password) override;
    DMOperationResult unlockWithReason(const Drive& drive, const std::string& password) override;
    std::optional<std::string> rememberedPassword(const Drive& drive) override;
    void rememberPassword(const Drive& drive, const std::optional<std::string>& password) override;
    bool isUSBBlockerOn() override;
    std::shared_ptr<DMLocalDriveEncryptable> encryptor(const Drive& drive, DMEncryptorRefusal* refusal) override;
    DMEncryptorRefusal encryptionRefusal(const Drive& drive) override;
    std::string detachedHeader(const Drive& drive) override;
    bool hasExternalPowerAdapter() override;
    int accessMode(const Drive& drive) override;
    bool hasHibernationFile(const Drive& drive) override;
    void setIgnoreHibernateFile(bool ignore) override;
    std::vector<Drive> externalRootDrives() override;
    std::vector<Drive> lockableDrives() override;
    bool isDriverInstalled() override;
    bool canInstallDriver() override;
    void installDriver() override;
    bool ignoreHibernationFileWhenMountingNtfsDrives() override;
    void openURL(const std::string& url) override;
    std::optional<std::string> driveClearPath(const Drive& drive) override;
    bool isNetworkDrive(const Drive& drive) override;
    void connect(const Drive& drive, std::function<void(int code)> done) override;
    void connectWithReason(const Drive& drive, std::function<void(DMOperationResult)> done) override;
    void disconnect(const Drive& drive, std::function<void(int code)> done) override;
    void openNetworkDrive(const Drive& drive) override;
    void removeNetworkDrive(const Drive& drive) override;
    std::vector<Drive> networkDrives() override;
    bool automaticallyOpenDrivesAfterConnecting() override;
    bool automaticallyOpenDrivesAfterUnlocking() override;
    Drive localDriveWithIdentifier(const std::string& identifier) override;
    bool isMounted(const Drive& drive) override;

private:
    DMConfigurationManager* configuration_;
};

}  // namespace harbormind
