#pragma once

#include "app/usb/USBPage.h"

class QPushButton;
class QTableWidget;

namespace harbormind {

class USBDiskList;

// The white list page: the listed disks with their sizes, and removing one.
class USBWhiteListViewController final : public USBPage {
public:
    USBWhiteListViewController(QWidget* parent, USBDiskList& datas);

    void reloadData();
    void btnRemove_click();
    // The lists changed in any process.
    void diskListDidChange();

    QTableWidget* table = nullptr;
    QPushButton* btnRemove = nullptr;
    USBDiskList& datas;
};

}  // namespace harbormind
