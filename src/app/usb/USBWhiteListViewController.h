#pragma once

#include <memory>
#include <vector>

#include "app/usb/USBPage.h"
#include "usbblocker/Drive.h"

class QPushButton;
class QTableWidget;

namespace harbormind {

class DMAlertPresenter;
class DMUSBBlockerWrapper;
class USBDiskList;

// The lists page: the white list and the black list with the disks' sizes, and taking a disk
// off either. The lists file is root's: a removal is the daemon's work, and its refusal is
// shown.
class USBWhiteListViewController final : public USBPage {
public:
    USBWhiteListViewController(QWidget* parent, USBDiskList& datas, DMUSBBlockerWrapper& wrapper,
                               std::shared_ptr<DMAlertPresenter> presenter);

    // Reads the lists again: the daemon may have changed them since the page was last shown.
    void pageShown() override;
    void reloadData();
    void btnRemove_click();
    void btnRemoveBlack_click();
    // The lists changed in any process.
    void diskListDidChange();

    QTableWidget* table = nullptr;
    QTableWidget* blackTable = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnRemoveBlack = nullptr;
    USBDiskList& datas;

private:
    void remove(QTableWidget* from, const std::vector<Drive>& entries, bool white);

    DMUSBBlockerWrapper& wrapper_;
    std::shared_ptr<DMAlertPresenter> presenter_;
};

}  // namespace harbormind
