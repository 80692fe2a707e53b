#include "app/shell/DMFeatureWindowFactory.h"

#include <QWidget>

#include "app/cleaning/CDDriveClearWindowController.h"
#include "app/cleaning/CDJunkClearWindowController.h"
#include "app/clone/DMDeviceCloneFlow.h"
#include "app/disktools/DMDiskToolsFlow.h"
#include "app/encryption/BLEncryptionFlow.h"
#include "app/firstaid/DMFirstAidWindowController.h"
#include "app/network/DMNewNetworkCloudDrivesWindowController.h"
#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "network/DMNetworkDriveObject.h"
#include "support/Dispatch.h"

namespace harbormind {

DMFeatureWindowFactory::DMFeatureWindowFactory(std::shared_ptr<DMDriveOperations> operations,
                                               std::shared_ptr<DMAlertPresenter> presenter,
                                               std::shared_ptr<DMDeviceCloneWrapper> deviceCloneWrapper)
    : presenter_(std::move(presenter)),
      deviceCloneFlow_(std::make_shared<DMDeviceCloneFlow>(operations, presenter_, std::move(deviceCloneWrapper))),
      encryptionFlow_(std::make_shared<BLEncryptionFlow>(operations, presenter_)),
      diskToolsFlow_(std::make_shared<DMDiskToolsFlow>(presenter_)),
      checkWarapper_(DMCheckDiskWrapper::create()) {}

DMFeatureWindowFactory::~DMFeatureWindowFactory() = default;

void DMFeatureWindowFactory::unlock(const Drive& drive, QWidget* window, std::function<void(const Drive&)> unlocked) {
    encryptionFlow_->setUnlockedHandler(std::move(unlocked));
    encryptionFlow_->unlock(drive, window);
}

void DMFeatureWindowFactory::encrypt(const Drive& drive, QWidget* window) {
    encryptionFlow_->encrypt(drive, window);
}

void DMFeatureWindowFactory::exportHeader(const Drive& drive, QWidget* window) {
    encryptionFlow_->exportHeader(drive, window);
}

void DMFeatureWindowFactory::clone(const Drive& source, QWidget* window) {
    deviceCloneFlow_->clone(source, window);
}

void DMFeatureWindowFactory::resumeClone(const Drive& destination, QWidget* window) {
    deviceCloneFlow_->resumeClone(destination, window);
}

void DMFeatureWindowFactory::erase(const Drive& drive, QWidget* window) {
    diskToolsFlow_->erase(drive, window);
}

void DMFeatureWindowFactory::newPartition(const Drive& drive, QWidget* window) {
    diskToolsFlow_->newPartition(drive, window);
}

void DMFeatureWindowFactory::deletePartition(const Drive& drive, QWidget* window) {
    diskToolsFlow_->deletePartition(drive, window);
}

CDJunkClearWindowController* DMFeatureWindowFactory::junkClearWindowController() const {
    return junkClearWindowController_.data();
}

CDDriveClearWindowController* DMFeatureWindowFactory::driverClearWindowController() const {
    return driverClearWindowController_.data();
}

DMNewNetworkCloudDrivesWindowController* DMFeatureWindowFactory::editNetworkDriveWindowController() const {
    return editNetworkDriveWindowController_.data();
}

CDCleaningServices& DMFeatureWindowFactory::cleaning() {
    if (!cleaning_) {
        cleaning_ = CDCleaningServices::current();
    }
    return *cleaning_;
}

void DMFeatureWindowFactory::junkClean(QWidget* window) {
    CDCleaningServices& services = cleaning();
    if (services.junkManager == nullptr) {
        return;
    }
    if (junkClearWindowController_) {
        junkClearWindowController_->close();
        delete junkClearWindowController_.data();
    }
    auto table = services.junkTable ? services.junkTable() : std::vector<JunkCategory>();
    auto* controller =
        new CDJunkClearWindowController(*services.junkManager, std::move(table), presenter_, services.workspace, window);
    junkClearWindowController_ = controller;
    controller->start();
    controller->present();
}

void DMFeatureWindowFactory::driveClean(const std::string& path, QWidget* window) {
    CDCleaningServices& services = cleaning();
    if (services.scanManager == nullptr) {
        return;
    }
    if (driverClearWindowController_) {
        driverClearWindowController_->close();
        delete driverClearWindowController_.data();
    }
    auto* controller = new CDDriveClearWindowController(*services.scanManager, presenter_, services.workspace, window);
    driverClearWindowController_ = controller;
    controller->start(path);
    controller->present();
}

void DMFeatureWindowFactory::firstAid(const Drive& drive, bool repair, QWidget* window) {
    if (checkDiskWindowController_) {
        checkDiskWindowController_->close();
    }
    checkDiskWindowController_ = DMFirstAidWindowController::create(checkWarapper_, window, presenter_);
    checkWarapper_->setDelegate(checkDiskWindowController_);
    checkDiskWindowController_->present();
    // The check may wait up to a minute for the drive to unmount: not on the window's thread.
    auto wrapper = checkWarapper_;
    auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
    Dispatch::global()->async([wrapper, local, repair] { wrapper->check(local, repair); });
}

void DMFeatureWindowFactory::editNetworkDrive(const Drive& drive, QWidget* window) {
    DMNewNetworkCloudDrivesWindowController::present(editNetworkDriveWindowController_,
                                                     std::dynamic_pointer_cast<DMNetworkDriveObject>(drive), window);
}

}  // namespace harbormind
