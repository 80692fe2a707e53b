#pragma once

#include <memory>
#include <optional>

#include <QPointer>

#include "app/cleaning/CDCleaningServices.h"
#include "app/drives/DMDriveWindowFactory.h"

namespace harbormind {

class BLEncryptionFlow;
class CDDriveClearWindowController;
class CDJunkClearWindowController;
class DMAlertPresenter;
class DMCheckDiskWrapper;
class DMDeviceCloneFlow;
class DMDeviceCloneWrapper;
class DMDiskToolsFlow;
class DMDriveOperations;
class DMFirstAidWindowController;
class DMNewNetworkCloudDrivesWindowController;

// The feature windows of the main window, made when the dispatcher asks for them: the clone,
// encryption and disk tools flows, the cleaning windows, the First Aid sheet and the network
// drive editor. It keeps the one open window of each kind.
class DMFeatureWindowFactory final : public DMDriveWindowFactory {
public:
    DMFeatureWindowFactory(std::shared_ptr<DMDriveOperations> operations, std::shared_ptr<DMAlertPresenter> presenter,
                           std::shared_ptr<DMDeviceCloneWrapper> deviceCloneWrapper = nullptr);
    ~DMFeatureWindowFactory() override;

    void unlock(const Drive& drive, QWidget* window, std::function<void(const Drive&)> unlocked) override;
    void encrypt(const Drive& drive, QWidget* window) override;
    void exportHeader(const Drive& drive, QWidget* window) override;
    void clone(const Drive& source, QWidget* window) override;
    void resumeClone(const Drive& destination, QWidget* window) override;
    void erase(const Drive& drive, QWidget* window) override;
    void newPartition(const Drive& drive, QWidget* window) override;
    void deletePartition(const Drive& drive, QWidget* window) override;
    void junkClean(QWidget* window) override;
    void driveClean(const std::string& path, QWidget* window) override;
    void firstAid(const Drive& drive, bool repair, QWidget* window) override;
    void editNetworkDrive(const Drive& drive, QWidget* window) override;

    // The managers the cleaning windows work with (the shared ones on the current platform
    // unless set).
    void setCleaningServices(CDCleaningServices services) { cleaning_ = std::move(services); }
    // The one junk clean and the one drive clear window, while open.
    CDJunkClearWindowController* junkClearWindowController() const;
    CDDriveClearWindowController* driverClearWindowController() const;
    // The editor of a saved network drive, while open.
    DMNewNetworkCloudDrivesWindowController* editNetworkDriveWindowController() const;
    // First Aid: the runner made with the factory, and the sheet of the latest check.
    const std::shared_ptr<DMCheckDiskWrapper>& checkWarapper() const { return checkWarapper_; }
    const std::shared_ptr<DMFirstAidWindowController>& checkDiskWindowController() const {
        return checkDiskWindowController_;
    }
    // Clone and resume clone: the picker, the alerts and the progress sheet.
    const std::shared_ptr<DMDeviceCloneFlow>& deviceCloneFlow() const { return deviceCloneFlow_; }
    // Unlock and encrypt: the unlock window, the encryption alert, wizard and progress window.
    const std::shared_ptr<BLEncryptionFlow>& encryptionFlow() const { return encryptionFlow_; }
    const std::shared_ptr<DMDiskToolsFlow>& diskToolsFlow() const { return diskToolsFlow_; }

private:
    CDCleaningServices& cleaning();

    std::shared_ptr<DMAlertPresenter> presenter_;
    std::shared_ptr<DMDeviceCloneFlow> deviceCloneFlow_;
    std::shared_ptr<BLEncryptionFlow> encryptionFlow_;
    std::shared_ptr<DMDiskToolsFlow> diskToolsFlow_;
    std::optional<CDCleaningServices> cleaning_;
    QPointer<CDJunkClearWindowController> junkClearWindowController_;
    QPointer<CDDriveClearWindowController> driverClearWindowController_;
    QPointer<DMNewNetworkCloudDrivesWindowController> editNetworkDriveWindowController_;
    std::shared_ptr<DMFirstAidWindowController> checkDiskWindowController_;
    std::shared_ptr<DMCheckDiskWrapper> checkWarapper_;
};

}  // namespace harbormind
