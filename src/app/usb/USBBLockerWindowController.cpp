#include "app/usb/USBBLockerWindowController.h"

#include <QHBoxLayout>

#include "app/usb/USBChangePasswordViewController.h"
#include "app/usb/USBGeneralViewController.h"
#include "app/usb/USBOutlineView.h"
#include "app/usb/USBViewController.h"
#include "app/usb/USBWhiteListViewController.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind {

USBBLockerWindowController::USBBLockerWindowController(QWidget* parent, USBDiskList& lists,
                                                       const USBBlockerKeyChain& keyChain,
                                                       const USBBlockerSettings& settings,
                                                       std::shared_ptr<DMAlertPresenter> presenter)
    : QDialog(parent), disklist(lists) {
    setWindowTitle(QStringLiteral("USB Warden"));
    setFixedSize(width, height);
    disklist.load();
    usbOutlineView = new USBOutlineView(
        this, {USBBlockerTexts::general, USBBlockerTexts::setPassword, USBBlockerTexts::deviceWhiteList});
    usbViewController =
        new USBViewController(this, new USBGeneralViewController(nullptr, settings),
                              new USBChangePasswordViewController(nullptr, keyChain, std::move(presenter)),
                              new USBWhiteListViewController(nullptr, disklist));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(usbOutlineView);
    layout->addWidget(usbViewController, 1);
    connect(usbOutlineView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(usbOutlineView->dataSource.size())) {
            usbViewController->show(usbOutlineView->dataSource[static_cast<std::size_t>(row)]);
        }
    });
    select(0);
}

void USBBLockerWindowController::select(int row) {
    usbOutlineView->setCurrentRow(row);
}

}  // namespace harbormind
