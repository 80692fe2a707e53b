#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "app/network/DMBaseDriveConfigurableViewControllerDelegate.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace harbormind {

class DMConfigurationManager;
class DMNetworkDriveConfigurableViewController;
class DMNetworkDriveManager;
class DMNetworkDriveObject;

// The sheet in which a person enters a new network drive, or changes a saved one, and
// connects to it. The drive is saved only once it has connected; until then the form edits a
// new drive object and the saved one stays as it was.
class DMNewNetworkCloudDrivesWindowController final : public QDialog,
                                                      public DMBaseDriveConfigurableViewControllerDelegate {
public:
    // `driveObj` is the saved drive to change, or null for a new one. `config` (the shared
    // configuration when null) decides whether a connected drive is opened.
    DMNewNetworkCloudDrivesWindowController(std::shared_ptr<DMNetworkDriveManager> driveMgr,
                                            std::shared_ptr<DMNetworkDriveObject> driveObj, QWidget* parent,
                                            DMConfigurationManager* config = nullptr);
    ~DMNewNetworkCloudDrivesWindowController() override;

    // Closes the editor in `slot`, if any, and shows a new one in it as a sheet on `window`,
    // for the drive's own manager (the registered network manager for a new drive).
    static DMNewNetworkCloudDrivesWindowController* present(QPointer<DMNewNetworkCloudDrivesWindowController>& slot,
                                                            std::shared_ptr<DMNetworkDriveObject> drive,
                                                            QWidget* window);

    void driveTypeChange_clickWithSender(int index);
    void connect_clickWithSender();
    void close_clickWithSender();
    // Saves the drive as it is typed, without connecting (an edit replaces the saved drive).
    void save_clickWithSender();
    void help_clickWithSender();
    void driveConfigurationDidChange() override;

    bool isConnecting() const { return isConnecting_; }
    // The drive object the form edits now.
    std::shared_ptr<DMNetworkDriveObject> editedDrive() const;

    QComboBox* pbDriveType() const { return pbDriveType_; }
    QLabel* lbTips() const { return lbTips_; }
    QLabel* lbConnecting() const { return lbConnecting_; }
    QProgressBar* piConnecting() const { return piConnecting_; }
    QPushButton* btnOk() const { return btnOk_; }
    QPushButton* btnClose() const { return btnClose_; }
    QPushButton* btnSave() const { return btnSave_; }
    QPushButton* btnHelp() const { return btnHelp_; }
    DMNetworkDriveConfigurableViewController* currentConfigurableViewController() const {
        return currentConfigurableViewController_;
    }

protected:
    void reject() override;

private:
    void showForm(int typeIndex);
    void updateControls();
    void cancelConnection();
    void connectionFinished(int code, const std::string& reason);
    void saveConnectedDrive();
    void showTip(const std::string& text);
    // Names the fields still empty in the tips; false (and the tips hidden) when none is.
    bool showMissingFields();

    std::shared_ptr<DMNetworkDriveManager> driveMgr_;
    std::shared_ptr<DMNetworkDriveObject> driveObj_;
    DMConfigurationManager* config_;
    QComboBox* pbDriveType_;
    QWidget* configContentView_;
    QProgressBar* piConnecting_;
    QLabel* lbConnecting_;
    QLabel* lbTips_;
    QPushButton* btnOk_;
    QPushButton* btnClose_;
    QPushButton* btnSave_;
    QPushButton* btnHelp_;
    DMNetworkDriveConfigurableViewController* currentConfigurableViewController_ = nullptr;
    bool isConnecting_ = false;
    bool showsMissingFields_ = false;
    // Counts connection attempts, so that the answer of a cancelled one is ignored.
    std::uint64_t attempt_ = 0;
};

}  // namespace harbormind
